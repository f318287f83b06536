// Placeholder definitions until the loaders land.
#include "assets/assets.h"
Model* load_model(const char*) { return nullptr; }
void compute_vertex_normal(int, Model*) {}
void copy_rest_pose(Model*) {}
void free_model(Model*) {}
Skeleton* load_skeleton(const char*) { return nullptr; }
void free_skeleton(Skeleton*) {}
int32_t load_texture(const char*, int) { return -1; }
