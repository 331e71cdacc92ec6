#pragma once

#include <cstdint>

namespace glassfalls::platform {

// The window messages the application reacts to. Platform events (window closed, focus,
// capture blocks, socket readiness) are all turned into these and handled one at a time on
// the main thread, between two frames.
enum class MessageId : uint32_t {
    Close,        // the user or the program asks the window to close
    Destroy,      // the window is going away; the application shuts down
    Quit,         // ends the message loop; wParam is the exit code
    Activate,     // wParam != 0: the window gained focus
    ActivateApp,  // wParam != 0: the program became visible / foreground
    CaptureBlock, // a microphone block waits in the capture buffer
    Size,         // the window's size changed
    TcpSocket,    // the picture link's TCP socket is ready; wParam the socket, lParam a SocketEvent
    UdpSocket,    // the picture link's UDP socket is ready; wParam the socket, lParam a SocketEvent
};

// What happened on a socket (the bits of the asynchronous sockets the link was written for).
namespace socketEvent {
inline constexpr int64_t Read = 1, Write = 2, Connect = 16, Close = 32;
}

struct Message {
    MessageId id;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

}  // namespace glassfalls::platform
