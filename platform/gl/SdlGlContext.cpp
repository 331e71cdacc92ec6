// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gl/Gl.h"

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

#include "platform/gl/GlContext.h"
#include "platform/os/Browser.h"

namespace glassfalls::platform::gl {

namespace {

void requestSoftwareRenderer(DeviceType type) {
    if (type != DeviceType::Software) return;
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
}

// The profile and the least version each renderer asks for. Compat asks for 2.1, which gives
// the driver's newest, and checks the one it gets: framebuffer objects, blits and mipmap
// generation are used as core functions, which came with 3.0.
struct ApiRequest {
    int profile;
    int major, minor;
    const char* needed;
};

ApiRequest requestFor(Renderer api) {
    switch (api) {
        case Renderer::Core: return {SDL_GL_CONTEXT_PROFILE_CORE, 3, 3, "OpenGL 3.3 core"};
        case Renderer::Es: return {SDL_GL_CONTEXT_PROFILE_ES, 3, 0, "OpenGL ES 3.0"};
        case Renderer::Auto:
        case Renderer::Compat: break;
    }
    return {SDL_GL_CONTEXT_PROFILE_COMPATIBILITY, 2, 1, "OpenGL 3.0"};
}

#if defined(__SANITIZE_ADDRESS__)
// Mesa keeps some allocations in the globals of its driver libraries for the life of the
// process. When the last context goes those libraries are unloaded and the leak checker
// reports the memory as lost; keeping the driver mapped keeps it reachable, as it would be
// in a program that never closes its display.
int keepDriverLoaded(dl_phdr_info* info, size_t, void*) {
    const char* name = info->dlpi_name;
    if (name && (std::strstr(name, "/dri/") || std::strstr(name, "_mesa.so") || std::strstr(name, "libgallium"))) {
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}
void keepDriverLoadedUnderLeakChecks() { dl_iterate_phdr(keepDriverLoaded, nullptr); }
#else
void keepDriverLoadedUnderLeakChecks() {}
#endif

SDL_GLContext createContext(SDL_Window* window, const ApiRequest& request) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, request.profile);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, request.major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, request.minor);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    // Ask to be told about a GPU reset; drivers without the extension refuse the flag.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_LOSE_CONTEXT);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
        context = SDL_GL_CreateContext(window);
    }
    // Also for a context made only to ask what the driver offers, and given up at once.
    if (context) keepDriverLoadedUnderLeakChecks();
    return context;
}

std::string versionString() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return version ? version : "none";
}

// What the driver gives for the profile of `request` (a compatibility one for core) when
// the least version is asked for, as OpenGL names it: "OpenGL ES 2.0 Mesa …", "OpenGL 2.1 Mesa …".
std::string offeredVersion(SDL_Window* window, const ApiRequest& request) {
    const ApiRequest any{
        request.profile == SDL_GL_CONTEXT_PROFILE_ES ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_COMPATIBILITY,
        2, request.profile == SDL_GL_CONTEXT_PROFILE_ES ? 0 : 1, request.needed};
    SDL_GLContext context = createContext(window, any);
    if (!context) return "none";
    std::string version = versionString();
    SDL_GL_DeleteContext(context);
    if (version.rfind("OpenGL", 0) != 0) version = "OpenGL " + version;
    return version;
}

Expected<void> hasUsableVersion(Renderer api) {
    if (api != Renderer::Compat) return {};  // a core or ES context is made with the version asked for
    const std::string version = versionString();
    if (std::atoi(version.c_str()) >= 3) return {};
    return failure("OpenGL 3.0 or later is needed, the driver offers OpenGL " + version);
}

class SdlGlContext final : public GlContext {
public:
    SdlGlContext(SDL_Window* window, SDL_GLContext context, Renderer api)
        : window_(window), context_(context), api_(api) {}

    ~SdlGlContext() override {
        SDL_GL_DeleteContext(context_);
        if (ownsWindow_) {
            SDL_DestroyWindow(window_);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }

    Renderer api() const override { return api_; }
    void makeCurrent() override { SDL_GL_MakeCurrent(window_, context_); }
    void swapBuffers() override { SDL_GL_SwapWindow(window_); }
    bool showsFrames() const override { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) == 0; }

    void drawableSize(int& width, int& height) const override { SDL_GL_GetDrawableSize(window_, &width, &height); }

    void setVsync(bool on) override {
        // Adaptive first; a driver that refuses both simply presents unsynchronised.
        if (!on || SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(on ? 1 : 0);
    }

    // A page hears of a lost WebGL context from the browser, not from OpenGL's robustness.
    bool wasReset() override {
        if constexpr (kInBrowser) return false;
        return robust_ && glGetGraphicsResetStatus() != GL_NO_ERROR;
    }

    Expected<void> recreate() override {
        SDL_GL_DeleteContext(context_);
        context_ = createContext(window_, requestFor(api_));
        if (!context_) return failure(std::string("cannot create an OpenGL context: ") + SDL_GetError());
        detectRobustness();
        return {};
    }

    std::string renderer() const override {
        const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        return name ? name : "unknown";
    }

    void takeWindowOwnership() { ownsWindow_ = true; }

    void detectRobustness() {
        // WebGL knows no context flags; it tells of a lost context through the page.
        if constexpr (kInBrowser) return;
        GLint flags = 0;
        glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
        robust_ = (flags & GL_CONTEXT_FLAG_ROBUST_ACCESS_BIT) != 0;
    }

private:
    SDL_Window* window_;
    SDL_GLContext context_;
    Renderer api_;
    bool ownsWindow_ = false;
    bool robust_ = false;
};

// A context of exactly `api`; fails with what is needed against what the driver offers.
Expected<std::unique_ptr<SdlGlContext>> makeContextOf(SDL_Window* window, Renderer api) {
    const ApiRequest request = requestFor(api);
    SDL_GLContext context = createContext(window, request);
    if (!context) {
        return failure(std::string(request.needed) + " or later is needed, the driver offers " +
                       offeredVersion(window, request));
    }
    auto result = std::make_unique<SdlGlContext>(window, context, api);
    if (auto usable = hasUsableVersion(api); !usable) return failure(usable.error());
    result->detectRobustness();
    return result;
}

Expected<std::unique_ptr<SdlGlContext>> pickContext(SDL_Window* window, Renderer renderer) {
    // WebGL 2 is OpenGL ES 3.0 and nothing else; a compatibility or core context asked of it
    // would be made, as WebGL, and then fail at the first shader or fixed-function call.
    if constexpr (kInBrowser) {
        if (renderer != Renderer::Auto && renderer != Renderer::Es) {
            return failure(std::string("a browser offers only OpenGL ES 3.0 (WebGL 2): use --renderer es, not ") +
                           gfx::rendererName(renderer));
        }
        return makeContextOf(window, Renderer::Es);
    }
    if (renderer != Renderer::Auto) return makeContextOf(window, renderer);
    std::string passedOver;
    for (Renderer api : {Renderer::Compat, Renderer::Core, Renderer::Es}) {
        auto result = makeContextOf(window, api);
        if (result) {
            if (!passedOver.empty()) {
                std::fprintf(stderr, "glassfalls: renderer %s (%s), passed over %s\n", gfx::rendererName(api),
                             versionString().c_str(), passedOver.c_str());
            }
            return result;
        }
        passedOver += std::string(passedOver.empty() ? "" : "; ") + gfx::rendererName(api) + ": " + result.error();
    }
    return failure("no renderer the driver can give (" + passedOver + ")");
}

Expected<std::unique_ptr<GlContext>> makeContext(SDL_Window* window, DeviceType type, Renderer renderer,
                                                 bool ownsWindow) {
    requestSoftwareRenderer(type);
    auto result = pickContext(window, renderer);
    if (!result) return failure(result.error());
    if (ownsWindow) (*result)->takeWindowOwnership();
    return std::move(*result);
}

}  // namespace

Expected<std::unique_ptr<GlContext>> createSdlGlContext(SDL_Window* window, DeviceType type, Renderer renderer) {
    return makeContext(window, type, renderer, false);
}

Expected<std::unique_ptr<GlContext>> createOffscreenGlContext(int width, int height, DeviceType type,
                                                              Renderer renderer) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return failure(std::string("cannot start the off-screen video system: ") + SDL_GetError());
    }
    SDL_Window* window = SDL_CreateWindow("glassFalls", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        const std::string why = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return failure("cannot open an off-screen window: " + why);
    }
    auto context = makeContext(window, type, renderer, true);
    if (!context) {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    return context;
}

}  // namespace glassfalls::platform::gl
