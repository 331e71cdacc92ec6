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
            case LO_STRING: taken.strings.emplace_back(reinterpret_cast<const char*>(bytes)); break;
            case LO_BLOB: {
                const auto blob = static_cast<lo_blob>(argv[i]);
                const auto* data = static_cast<const uint8_t*>(lo_blob_dataptr(blob));
                taken.blob.assign(data, data + lo_blob_datasize(blob));
                break;
            }
            default: break;
        }
    }
    if (const lo_timetag time = lo_message_get_timestamp(message);
        !(time.sec == LO_TT_IMMEDIATE.sec && time.frac == LO_TT_IMMEDIATE.frac)) {
        taken.time = OscTime{time.sec, time.frac};
    }
    if (lo_address source = lo_message_get_source(message)) {
        if (const char* host = lo_address_get_hostname(source)) taken.senderHost = host;
        if (const char* port = lo_address_get_port(source)) taken.senderPort = port;
    }
    static_cast<std::vector<OscMessage>*>(context)->push_back(std::move(taken));
    return 0;
}

}  // namespace

OscServer::~OscServer() { close(); }

void OscServer::close() {
    if (server_) lo_server_free(static_cast<lo_server>(server_));
    server_ = nullptr;
}

OscTime OscTime::now() {
    lo_timetag time;
    lo_timetag_now(&time);
    return {time.sec, time.frac};
}

Expected<void> OscServer::open(int port, const std::string& what) {
    const std::string service = std::to_string(port);
    lo_server server = lo_server_new_with_proto(port == 0 ? nullptr : service.c_str(), LO_UDP, onLibloError);
    if (!server)
        return failure("cannot take UDP port " + service + " for OSC: it is in use or not allowed (" + what + ")");
    adopt(server);
    return {};
}

Expected<void> OscServer::openMulticast(const std::string& group, int port, const std::string& what) {
    const std::string service = std::to_string(port);
    lo_server server = lo_server_new_multicast(group.c_str(), service.c_str(), onLibloError);
    if (!server) {
        return failure("cannot join the multicast group " + group + " on UDP port " + service +
                       ": is there a route for multicast, and is the port free? (" + what + ")");
    }
    adopt(server);
    return {};
}

void OscServer::adopt(void* server) {
    const auto taken = static_cast<lo_server>(server);
    // Bundles are handed over as they come, whatever their time tags say: the tags are read,
    // not obeyed.
    lo_server_enable_queue(taken, 0, 1);
    lo_server_add_method(taken, nullptr, nullptr, onMessage, &incoming_);
    server_ = taken;
}

int OscServer::port() const { return server_ ? lo_server_get_port(static_cast<lo_server>(server_)) : 0; }

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

namespace {

lo_message messageOf(const std::vector<OscValue>& arguments) {
    lo_message message = lo_message_new();
    for (const OscValue& argument : arguments) {
        if (const auto* i = std::get_if<int32_t>(&argument)) lo_message_add_int32(message, *i);
        if (const auto* h = std::get_if<int64_t>(&argument)) lo_message_add_int64(message, *h);
        if (const auto* f = std::get_if<float>(&argument)) lo_message_add_float(message, *f);
        if (const auto* s = std::get_if<std::string>(&argument)) lo_message_add_string(message, s->c_str());
        if (const auto* b = std::get_if<std::vector<uint8_t>>(&argument)) {
            // The message keeps its own copy of the blob.
            lo_blob blob = lo_blob_new(static_cast<int32_t>(b->size()), b->data());
            lo_message_add_blob(message, blob);
            lo_blob_free(blob);
        }
    }
    return message;
}

}  // namespace

bool OscServer::send(const std::string& host, const std::string& port, const std::string& path,
                     const std::vector<OscValue>& arguments) {
    if (!server_) return false;
    lo_address to = lo_address_new(host.c_str(), port.c_str());
    if (!to) return false;
    lo_message message = messageOf(arguments);
    const int sent = lo_send_message_from(to, static_cast<lo_server>(server_), path.c_str(), message);
    lo_message_free(message);
    lo_address_free(to);
    return sent >= 0;
}

bool OscServer::sendAt(const std::string& host, const std::string& port, OscTime time, const std::string& path,
                       const std::vector<OscValue>& arguments) {
    if (!server_) return false;
    lo_address to = lo_address_new(host.c_str(), port.c_str());
    if (!to) return false;
    lo_bundle bundle = lo_bundle_new(lo_timetag{time.seconds, time.fraction});
    lo_message message = messageOf(arguments);
    lo_bundle_add_message(bundle, path.c_str(), message);
    const int sent = lo_send_bundle_from(to, static_cast<lo_server>(server_), bundle);
    lo_bundle_free_recursive(bundle);
    lo_address_free(to);
    return sent >= 0;
}

}  // namespace glassfalls::platform
