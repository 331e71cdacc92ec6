// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LockstepWire.h"

#include <arpa/inet.h>

#include <charconv>

#include "platform/os/WholeFile.h"

namespace glassfalls {

namespace {

std::optional<LockstepAddress::Endpoint> endpointNamed(const std::string& text) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return std::nullopt;
    LockstepAddress::Endpoint endpoint;
    endpoint.host = text.substr(0, colon);
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, endpoint.port);
    if (error != std::errc() || end != last || first == last || endpoint.port < 1 || endpoint.port > 65535)
        return std::nullopt;
    return endpoint;
}

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

void mix(uint64_t& hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= kFnvPrime;
    }
}

}  // namespace

bool LockstepAddress::multicast() const { return endpoints.size() == 1 && isMulticastHost(endpoints[0].host); }

bool isMulticastHost(const std::string& host) {
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) != 1) return false;
    return (ntohl(address.s_addr) >> 28) == 0xE;
}

std::optional<LockstepAddress> lockstepAddressNamed(const std::string& text) {
    LockstepAddress address;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        auto endpoint =
            endpointNamed(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!endpoint) return std::nullopt;
        address.endpoints.push_back(std::move(*endpoint));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    // A group is heard by all: listing it beside other addresses would send everything twice.
    for (const auto& endpoint : address.endpoints)
        if (isMulticastHost(endpoint.host) && address.endpoints.size() > 1) return std::nullopt;
    return address;
}

uint64_t dataFingerprint(const std::vector<std::string>& files) {
    uint64_t hash = kFnvOffset;
    for (const std::string& file : files) {
        const std::string name = file.substr(file.find_last_of('/') + 1);
        mix(hash, name.data(), name.size() + 1);
        std::vector<uint8_t> bytes;
        if (platform::readWholeFile(file, bytes)) mix(hash, bytes.data(), bytes.size());
    }
    return hash;
}

}  // namespace glassfalls
