// The model loader on arbitrary bytes, then everything the game does with a
// model it loaded: the normal pass over every vertex, the rest pose, skinning
// by the player's skeleton, and the release. The normal pass costs vertices
// times faces, so larger meshes are only loaded and freed.
#include "anim/anim.h"
#include "assets/assets.h"
#include "fuzz_input.h"

static const int MAX_POSED_VERTICES = 300;
static const int MAX_POSED_FACES = 600;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = write_fuzz_input(data, size);
    static Skeleton* skeleton = load_skeleton(generated_asset("hombre.esq").c_str());
    Model* model = load_model(path);
    if (model && model->vertex_count <= MAX_POSED_VERTICES && model->face_count <= MAX_POSED_FACES) {
        for (int v = 0; v < model->vertex_count; v++) compute_vertex_normal(v, model);
        copy_rest_pose(model);
        update_animation(skeleton);
        skin_model(skeleton, model);
    }
    free_model(model);
    return 0;
}
