#include "tools/picture-server/PictureServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace picture_server {

namespace net = glassfalls::platform::net;

bool PictureServer::listen(uint16_t port, std::string& error) {
    listener_ = net::Socket::tcp();
    udp_ = net::Socket::udp();
    if (!listener_ || !udp_) {
        error = std::string("cannot make sockets: ") + std::strerror(errno);
        return false;
    }
    if (!listener_.bind(port) || !listener_.listen() || !udp_.bind(port)) {
        error = "cannot listen on port " + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

size_t PictureServer::registeredCount() const {
    return static_cast<size_t>(std::count_if(clients_.begin(), clients_.end(), [](const Client& c) { return c.pictures.has_value(); }));
}

void PictureServer::serve(uint32_t timeoutMs) {
    std::vector<int> fds{listener_.fd(), udp_.fd()};
    for (const Client& c : clients_) fds.push_back(c.connection.fd());
    if (!net::socketsReady(fds, timeoutMs)) return;
    accept();
    readReplies();
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [this](Client& c) { return !stillThere(c); }),
                   clients_.end());
}

uint16_t PictureServer::freeIndex() {
    for (;;) {
        const uint16_t index = nextIndex_++;
        if (nextIndex_ == 0xFFFF) nextIndex_ = 1;
        const bool used = std::any_of(clients_.begin(), clients_.end(), [index](const Client& c) { return c.index == index; });
        if (!used) return index;
    }
}

void PictureServer::accept() {
    for (;;) {
        Client client;
        client.connection = listener_.accept(&client.peer);
        if (!client.connection) return;
        client.index = freeIndex();
        const uint8_t registration[4] = {0xFF, 0xFF, static_cast<uint8_t>(client.index & 0xFF),
                                         static_cast<uint8_t>(client.index >> 8)};
        client.connection.send(registration);
        log_("client " + std::to_string(client.index) + " connected from " + net::describe(client.peer));
        clients_.push_back(std::move(client));
    }
}

void PictureServer::readReplies() {
    uint8_t reply[8];
    net::Endpoint from;
    for (long n; (n = udp_.receiveFrom(reply, from)) >= 0;) {
        if (n != 4 || reply[0] != 0xFE || reply[1] != 0xFF) continue;
        const uint16_t index = static_cast<uint16_t>(reply[2] | reply[3] << 8);
        // Only the machine that holds the connection may claim its index.
        for (Client& c : clients_) {
            if (c.index != index || c.peer.address != from.address) continue;
            if (!c.pictures || !(*c.pictures == from)) {
                log_("client " + std::to_string(index) + " receives pictures at " + net::describe(from));
            }
            c.pictures = from;
        }
    }
}

bool PictureServer::stillThere(Client& client) {
    uint8_t byte = 0;
    const long n = client.connection.receive({&byte, 1});
    if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) return true;
    log_("client " + std::to_string(client.index) + " left");
    return false;
}

void PictureServer::sendPicture() {
    const PictureBytes& picture = source_.next();
    for (const Client& c : clients_) {
        if (!c.pictures) continue;
        if (udp_.sendTo(picture, *c.pictures) == static_cast<long>(picture.size())) {
            ++sent_;
        } else {
            ++dropped_;
        }
    }
}

}  // namespace picture_server
