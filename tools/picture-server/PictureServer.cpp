// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/picture-server/PictureServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace picture_server {

namespace net = glassfalls::platform::net;

glassfalls::platform::Expected<void> PictureServer::listen(uint16_t port, uint32_t address) {
    using glassfalls::platform::failure;
    listener_ = net::Socket::tcp();
    udp_ = net::Socket::udp();
    if (!listener_ || !udp_) return failure(std::string("cannot make sockets: ") + std::strerror(errno));
    if (!listener_.bind(port, address) || !listener_.listen() || !udp_.bind(port, address)) {
        return failure("cannot listen on " + net::describe({address, port}) + ": " + std::strerror(errno));
    }
    local_ = {address, port};
    return {};
}

size_t PictureServer::registeredCount() const {
    return static_cast<size_t>(
        std::count_if(clients_.begin(), clients_.end(), [](const Client& c) { return c.pictures.has_value(); }));
}

PictureServer::Client* PictureServer::find(uint16_t index) {
    const auto it =
        std::find_if(clients_.begin(), clients_.end(), [index](const Client& c) { return c.index == index; });
    return it == clients_.end() ? nullptr : &*it;
}

void PictureServer::serve(uint32_t timeoutMs) {
    const bool accepting = Clock::now() >= acceptPausedUntil_;
    std::vector<int> fds{udp_.fd()};
    // Without descriptors to spare the waiting connection stays readable: it is left out
    // for a moment instead of waking this loop without end.
    if (accepting) fds.push_back(listener_.fd());
    for (const Client& c : clients_) fds.push_back(c.connection.fd());
    if (!net::socketsReady(fds, timeoutMs)) return;
    if (accepting) accept();
    readReplies();
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [this](Client& c) { return !stillThere(c); }),
                   clients_.end());
}

uint16_t PictureServer::freeIndex() {
    for (;;) {
        const uint16_t index = nextIndex_++;
        if (nextIndex_ == 0xFFFF) nextIndex_ = 1;
        if (!find(index)) return index;
    }
}

void PictureServer::accept() {
    for (;;) {
        Client client;
        client.connection = listener_.accept(&client.peer);
        if (!client.connection) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                acceptPausedUntil_ = Clock::now() + kAcceptPause;
                if (!saidOutOfDescriptors_) log_("out of file descriptors: new clients wait until some are free");
                saidOutOfDescriptors_ = true;
            }
            return;
        }
        saidOutOfDescriptors_ = false;
        // A client whose machine vanishes without closing is dropped within about 15 s.
        client.connection.detectVanishedPeer();
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
    long n = 0;
    for (int i = 0; i < kRepliesPerPass && (n = udp_.receiveFrom(reply, from)) >= 0; ++i) {
        if (n != 4 || reply[0] != 0xFE || reply[1] != 0xFF) continue;
        learnPictureAddress(static_cast<uint16_t>(reply[2] | reply[3] << 8), from);
    }
    // A registered client's repeated replies reach its own socket; they say nothing new.
    for (Client& c : clients_) {
        for (int i = 0; c.udp && i < 4; ++i) {
            if (c.udp.receiveFrom(reply, from) < 0) break;
        }
    }
}

void PictureServer::learnPictureAddress(uint16_t index, const net::Endpoint& from) {
    Client* c = find(index);
    // Only the machine that holds the connection may claim its index.
    if (!c || c->peer.address != from.address) return;
    if (c->pictures && *c->pictures == from) return;
    log_("client " + std::to_string(index) + " receives pictures at " + net::describe(from));
    c->pictures = from;
    // Its own socket, on the server's port so the pictures come from where its reply went.
    c->udp = net::Socket::udp();
    if (c->udp && !(c->udp.bind(local_.port, local_.address) && c->udp.connect(from))) c->udp.close();
}

bool PictureServer::stillThere(Client& client) {
    uint8_t byte = 0;
    const long n = client.connection.receive({&byte, 1});
    if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) return true;
    const std::string how = n == 0 ? "left" : std::string("is gone (") + std::strerror(errno) + ")";
    log_("client " + std::to_string(client.index) + " " + how);
    return false;
}

void PictureServer::startRound(Clock::time_point now, Clock::duration length) {
    // A round not yet sent in full is cut short: its clients are behind by a picture at most.
    picture_ = &source_.next();
    order_.clear();
    for (const Client& c : clients_) {
        if (c.pictures) order_.push_back({false, c.index});
    }
    if (browsers_)
        for (const uint32_t id : browsers_->connected()) order_.push_back({true, id});
    // Each round starts with the next client, so no client is always the last.
    if (!order_.empty())
        std::rotate(order_.begin(), order_.begin() + static_cast<long>(rounds_ % order_.size()), order_.end());
    ++rounds_;
    nextInOrder_ = 0;
    roundStart_ = now;
    roundLength_ = length;
}

std::optional<PictureServer::Clock::time_point> PictureServer::nextSendDue() const {
    if (nextInOrder_ >= order_.size()) return std::nullopt;
    return roundStart_ + roundLength_ * static_cast<long>(nextInOrder_) / static_cast<long>(order_.size());
}

void PictureServer::sendDue(Clock::time_point now) {
    for (auto due = nextSendDue(); due && *due <= now; due = nextSendDue()) {
        const Recipient next = order_[nextInOrder_++];
        if (next.browser) {
            if (browsers_->send(next.id, *picture_)) {
                ++sent_;
            } else {
                ++dropped_;
            }
            continue;
        }
        Client* c = find(static_cast<uint16_t>(next.id));
        if (!c || !c->pictures) continue;
        // A full buffer skips this client for the round; nobody waits for it.
        const long n = c->udp ? c->udp.send(*picture_) : udp_.sendTo(*picture_, *c->pictures);
        if (n == static_cast<long>(picture_->size())) {
            ++sent_;
        } else {
            ++dropped_;
        }
    }
}

}  // namespace picture_server
