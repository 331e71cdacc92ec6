// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/osc/OscServer.h"

#include <lo/lo.h>

#include <cstdint>
#include <cstring>

namespace glassfalls::platform {

namespace {

// liblo reports unreadable packets through a handler with no context of its own; the
// receive in progress collects them. Main thread only, like the server.
std::vector<std::string>* collecting = nullptr;

void onLibloError(int, const char* message, const char* path) {
    if (!collecting) return;
    std::string line = message ? message : "unreadable packet";
    if (path) line += std::string(" (") + path + ")";
    collecting->push_back(std::move(line));
}

int onMessage(const char* path, const char* types, lo_arg** argv, int argc, lo_message message, void* context) {
    OscMessage taken;
    taken.path = path;
    taken.types = types ? types : "";
    for (int i = 0; i < argc; ++i) {
        // liblo points into the packet, where arguments lie four bytes apart: read as bytes,
        // never through its eight-byte-aligned union.
        const auto* bytes = reinterpret_cast<const unsigned char*>(argv[i]);
        auto read = [bytes](auto value) {
            std::memcpy(&value, bytes, sizeof value);
            return value;
        };
        switch (taken.types[static_cast<size_t>(i)]) {
            case LO_INT32: taken.numbers.push_back(read(int32_t{})); break;
            case LO_INT64: taken.numbers.push_back(static_cast<double>(read(int64_t{}))); break;
            case LO_FLOAT: taken.numbers.push_back(read(float{})); break;
            case LO_DOUBLE: taken.numbers.push_back(read(double{})); break;
            case LO_TRUE: taken.numbers.push_back(1); break;
            case LO_FALSE: taken.numbers.push_back(0); break;
            default: break;
        }
    }
    if (lo_address source = lo_message_get_source(message)) {
        if (const char* host = lo_address_get_hostname(source)) taken.senderHost = host;
        if (const char* port = lo_address_get_port(source)) taken.senderPort = port;
    }
    static_cast<std::vector<OscMessage>*>(context)->push_back(std::move(taken));
    return 0;
}

}  // namespace

OscServer::~OscServer() {
    if (server_) lo_server_free(static_cast<lo_server>(server_));
}

Expected<void> OscServer::open(int port) {
    const std::string service = std::to_string(port);
    lo_server server = lo_server_new_with_proto(service.c_str(), LO_UDP, onLibloError);
    if (!server)
        return failure("cannot take UDP port " + service + " for OSC: it is in use or not allowed (--osc-port)");
    lo_server_add_method(server, nullptr, nullptr, onMessage, &incoming_);
    server_ = server;
    return {};
}

int OscServer::socket() const { return server_ ? lo_server_get_socket_fd(static_cast<lo_server>(server_)) : -1; }

std::vector<OscMessage> OscServer::receive(size_t limit, std::vector<std::string>& unreadable) {
    incoming_.clear();
    if (!server_) return {};
    collecting = &unreadable;
    for (size_t packet = 0; packet < limit; ++packet) {
        if (lo_server_recv_noblock(static_cast<lo_server>(server_), 0) <= 0) break;
    }
    collecting = nullptr;
    return std::move(incoming_);
}

bool OscServer::send(const std::string& host, const std::string& port, const std::string& path,
                     const std::vector<OscValue>& arguments) {
    if (!server_) return false;
    lo_address to = lo_address_new(host.c_str(), port.c_str());
    if (!to) return false;
    lo_message message = lo_message_new();
    for (const OscValue& argument : arguments) {
        if (const auto* i = std::get_if<int32_t>(&argument)) lo_message_add_int32(message, *i);
        if (const auto* f = std::get_if<float>(&argument)) lo_message_add_float(message, *f);
        if (const auto* s = std::get_if<std::string>(&argument)) lo_message_add_string(message, s->c_str());
    }
    const int sent = lo_send_message_from(to, static_cast<lo_server>(server_), path.c_str(), message);
    lo_message_free(message);
    lo_address_free(to);
    return sent >= 0;
}

}  // namespace glassfalls::platform
