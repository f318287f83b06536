// The texture file reader on arbitrary bytes: everything the loader does
// before the pixels go to OpenGL.
#include "assets/assets.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = write_fuzz_input(data, size);
    uint16_t width = 0, height = 0;
    uint8_t* pixels = read_texture_pixels(path, &width, &height);
    if (pixels) {
        // Touch the last pixel: the reader promised width x height of them.
        volatile uint8_t last = pixels[static_cast<size_t>(width) * height * 4 - 1];
        (void)last;
    }
    std::free(pixels);
    return 0;
}
