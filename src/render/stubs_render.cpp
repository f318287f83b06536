// Placeholder definitions until the renderer lands.
#include "render/render.h"
DeferredFace* deferred_faces;
uint16_t deferred_face_count;
int32_t* depth_buckets;
float frustum_planes[6][4];
float light_ambient[4];
float light_diffuse[4];
float light_position[4];
void draw_model(float, float, float, float, float, float, Model*, unsigned) {}
void extract_frustum() {}
void normalize_plane(int) {}
int point_in_frustum(float, float, float) { return 0; }
void draw_deferred_faces() {}
void draw_shadow(float, float) {}
void draw_shots(const Shot*, int) {}
void draw_explosion(float, float, float) {}
void draw_aim_marker() {}
void apply_dawn_light() {}
void apply_sunset_light() {}
void apply_night_light() {}
void apply_light_preset(int) {}
