// The skeleton loader on arbitrary bytes, then a few ticks of playback in
// the states the game asks for (taken from the input's last byte) and the
// skinning of the player's mesh by whatever pose results. Every input is
// loaded into the same heap block: a fresh 2.4 MB block a run would cost more
// in page faults and zero-filling than everything else the target does.
#include "anim/anim.h"
#include "assets/assets.h"
#include "fuzz_input.h"

static const int TICKS_PLAYED = 3;
static const int STATES = 16;  // a few more than the game uses

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = write_fuzz_input(data, size);
    static Model* model = load_model(generated_asset("hombre.emd").c_str());
    static Skeleton* skeleton = static_cast<Skeleton*>(std::calloc(1, sizeof(Skeleton)));
    if (!model || !skeleton) std::abort();  // nothing would be skinned
    if (load_skeleton_into(path, skeleton)) {
        int state = size > 0 ? data[size - 1] % STATES : 0;
        for (int t = 0; t < TICKS_PLAYED; t++) {
            skeleton->requested_state = (state + t) % STATES;
            update_animation(skeleton);
            skin_model(skeleton, model);
        }
    }
    return 0;
}
