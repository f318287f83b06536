// Placeholder definitions until skinning and playback land.
#include "anim/anim.h"
void compute_bone_local(Skeleton*, int) {}
void compute_bone_matrices(Skeleton*) {}
void skin_model(Skeleton*, Model*) {}
void update_animation(Skeleton*) {}
