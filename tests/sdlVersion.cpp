// Prints the version that the SDL 1.2 library named on the command line reports of itself.
#include <dlfcn.h>

#include <cstdio>

int main(int, char **argv) {
    struct Version {
        unsigned char major, minor, patch;
    };
    void *sdl = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    auto linked = sdl ? reinterpret_cast<const Version *(*)()>(dlsym(sdl, "SDL_Linked_Version")) : nullptr;
    if (linked == nullptr) return 1;
    std::printf("%d.%d.%d", linked()->major, linked()->minor, linked()->patch);
}
