#include <SDL.h>

#include "platform/gl/Gl.h"

#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

#include "platform/gl/GlContext.h"

namespace glassfalls::platform::gl {

namespace {

// Framebuffer objects, blits and mipmap generation are used as core functions.
constexpr int kMinimumMajorVersion = 3;

void requestSoftwareRenderer(DeviceType type) {
    if (type != DeviceType::Software) return;
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
}

SDL_GLContext createContext(SDL_Window* window) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    // Ask to be told about a GPU reset; drivers without the extension refuse the flag.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_LOSE_CONTEXT);
    if (SDL_GLContext context = SDL_GL_CreateContext(window)) return context;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
    return SDL_GL_CreateContext(window);
}

#if defined(__SANITIZE_ADDRESS__)
// Mesa keeps some allocations in the globals of its driver libraries for the life of the
// process. When the last context goes those libraries are unloaded and the leak checker
// reports the memory as lost; keeping the driver mapped keeps it reachable, as it would be
// in a program that never closes its display.
int keepDriverLoaded(dl_phdr_info* info, size_t, void*) {
    const char* name = info->dlpi_name;
    if (name && (std::strstr(name, "/dri/") || std::strstr(name, "_mesa.so") ||
                 std::strstr(name, "libgallium"))) {
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}
void keepDriverLoadedUnderLeakChecks() { dl_iterate_phdr(keepDriverLoaded, nullptr); }
#else
void keepDriverLoadedUnderLeakChecks() {}
#endif

bool hasUsableVersion(std::string& error) {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version && std::atoi(version) >= kMinimumMajorVersion) return true;
    error = std::string("OpenGL ") + std::to_string(kMinimumMajorVersion) +
            ".0 or later is needed, the driver offers " + (version ? version : "none");
    return false;
}

class SdlGlContext final : public GlContext {
public:
    SdlGlContext(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}

    ~SdlGlContext() override {
        SDL_GL_DeleteContext(context_);
        if (ownsWindow_) {
            SDL_DestroyWindow(window_);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }

    void makeCurrent() override { SDL_GL_MakeCurrent(window_, context_); }
    void swapBuffers() override { SDL_GL_SwapWindow(window_); }
    bool showsFrames() const override { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) == 0; }

    void drawableSize(int& width, int& height) const override {
        SDL_GL_GetDrawableSize(window_, &width, &height);
    }

    void setVsync(bool on) override {
        // Adaptive first; a driver that refuses both simply presents unsynchronised.
        if (!on || SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(on ? 1 : 0);
    }

    bool wasReset() override {
        return robust_ && glGetGraphicsResetStatus() != GL_NO_ERROR;
    }

    bool recreate(std::string& error) override {
        SDL_GL_DeleteContext(context_);
        context_ = createContext(window_);
        if (!context_) {
            error = std::string("cannot create an OpenGL context: ") + SDL_GetError();
            return false;
        }
        detectRobustness();
        return true;
    }

    std::string renderer() const override {
        const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        return name ? name : "unknown";
    }

    void takeWindowOwnership() { ownsWindow_ = true; }

    void detectRobustness() {
        GLint flags = 0;
        glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
        robust_ = (flags & GL_CONTEXT_FLAG_ROBUST_ACCESS_BIT) != 0;
    }

private:
    SDL_Window* window_;
    SDL_GLContext context_;
    bool ownsWindow_ = false;
    bool robust_ = false;
};

std::unique_ptr<GlContext> makeContext(SDL_Window* window, DeviceType type, bool ownsWindow,
                                       std::string& error) {
    requestSoftwareRenderer(type);
    SDL_GLContext context = createContext(window);
    if (!context) {
        error = std::string("cannot create an OpenGL context: ") + SDL_GetError();
        return nullptr;
    }
    keepDriverLoadedUnderLeakChecks();
    auto result = std::make_unique<SdlGlContext>(window, context);
    if (!hasUsableVersion(error)) return nullptr;
    result->detectRobustness();
    if (ownsWindow) result->takeWindowOwnership();
    return result;
}

}  // namespace

std::unique_ptr<GlContext> createSdlGlContext(SDL_Window* window, DeviceType type,
                                              std::string& error) {
    return makeContext(window, type, false, error);
}

std::unique_ptr<GlContext> createOffscreenGlContext(int width, int height, DeviceType type,
                                                    std::string& error) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot start the off-screen video system: ") + SDL_GetError();
        return nullptr;
    }
    SDL_Window* window = SDL_CreateWindow("glassFalls", 0, 0, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        error = std::string("cannot open an off-screen window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    auto context = makeContext(window, type, true, error);
    if (!context) {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    return context;
}

}  // namespace glassfalls::platform::gl
