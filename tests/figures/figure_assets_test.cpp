// The two animated figures as the build generates them into datos/, read
// with the game's own loaders and checked for what the game relies on (valid
// indices and bindings, closed outward-wound solids, standing on the floor
// facing -y, clips that move and loop smoothly, rest keys outside the
// clips), the clips posed by the game's own skinning.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "anim/anim.h"
#include "assets/assets.h"
#include "support/generated_assets.h"

namespace {

struct Vec {
    double x, y, z;
};

Vec vec(AssetPoint p) { return Vec{p.x, p.y, p.z}; }
Vec operator-(Vec a, Vec b) { return Vec{a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(Vec a, Vec b) { return Vec{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A key's nine values in the file's order: translation, scale, rotation.
float key_value(const Bone& bone, int key, int c) {
    const float(*keys)[3] = c < 3 ? bone.translation_keys : c < 6 ? bone.scale_keys : bone.rotation_keys;
    return keys[key][c % 3];
}

bool is_rest(const Bone& bone, int key) {
    const float rest[ESQ_KEY_FLOATS] = {0, 0, 0, 1, 1, 1, 0, 0, 0};
    for (int c = 0; c < ESQ_KEY_FLOATS; c++)
        if (key_value(bone, key, c) != rest[c]) return false;
    return true;
}

struct Box {
    Vec lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
    void add(Vec p) {
        lo = Vec{std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
        hi = Vec{std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
    }
};

Box bounds(const std::vector<Vec>& points) {
    Box box;
    for (const Vec& p : points) box.add(p);
    return box;
}

// ---- the files under test ------------------------------------------------------

struct Figure {
    const char* mesh;
    const char* skeleton;
    std::set<int> texture_offsets;
    int face_offset;                          // texture that holds the face
    float face_strip_top, face_strip_bottom;  // v range of the head's strip
};

const Figure PLAYER = {"hombre.emd", "hombre.esq", {0, 1, 2}, 1, 0.0f, 0.5f};
const Figure ENEMY = {"malo.emd", "morlock.esq", {0}, 0, 96 / 256.0f, 160 / 256.0f};

struct Clip {
    int first, last;
};
const Clip CLIPS[] = {
    {ANIM_STAND_FIRST_KEY, ANIM_STAND_LAST_KEY},
    {ANIM_WALK_FORWARD_FIRST_KEY, ANIM_WALK_FORWARD_LAST_KEY},
    {ANIM_STRAFE_LEFT_FIRST_KEY, ANIM_STRAFE_LEFT_LAST_KEY},
    {ANIM_STRAFE_RIGHT_FIRST_KEY, ANIM_STRAFE_RIGHT_LAST_KEY},
    {ANIM_WALK_BACKWARD_FIRST_KEY, ANIM_WALK_BACKWARD_LAST_KEY},
};

bool is_clip_key(int k) {
    for (const Clip& clip : CLIPS) {
        if (k >= clip.first && k <= clip.last) return true;
    }
    return false;
}

class FigureAssets : public GeneratedAssetTest {
protected:
    static Mesh mesh(const char* name) { return read_mesh(path(name)); }
};

// Each test of this suite runs for the player and for the enemy, with the
// figure's mesh and skeleton read.
class EachFigure : public FigureAssets, public testing::WithParamInterface<Figure> {
protected:
    void SetUp() override {
        FigureAssets::SetUp();
        if (HasFatalFailure()) return;
        m = mesh(figure.mesh);
        s = load_generated_skeleton(path(figure.skeleton));
        ASSERT_TRUE(s) << figure.skeleton;
    }
    const Figure& figure = GetParam();
    Mesh m;
    LoadedSkeleton s;
};

INSTANTIATE_TEST_SUITE_P(PlayerAndEnemy, EachFigure, testing::Values(PLAYER, ENEMY),
                         [](const testing::TestParamInfo<Figure>& info) {
                             return info.index == 0 ? "Player" : "Enemy";
                         });

// The skins are not flat (their sides and opacity are checked with every
// picture, the meshes' lengths with every mesh, in tests/assets and
// tests/world).
TEST_F(FigureAssets, SkinsArePainted) {
    for (const char* name : {"tex1.raw", "tex2.raw", "arma.raw", "malo.raw"}) {
        const RawImage raw = read_picture(path(name));
        std::set<uint32_t> colours;
        for (size_t p = 0; p + 3 < raw.rgba.size(); p += 4) {
            colours.insert(static_cast<uint32_t>(raw.rgba[p] << 16 | raw.rgba[p + 1] << 8 | raw.rgba[p + 2]));
        }
        EXPECT_GT(colours.size(), 256u) << name << " looks flat";
    }
}

TEST_P(EachFigure, MeshesIndexBindAndGroupCorrectly) {
    EXPECT_GE(m.faces.size(), 400u);
    EXPECT_LE(m.faces.size(), 600u);  // each triangle costs every frame, ten times over for the enemies
    for (const MeshVertex& v : m.vertices) {
        ASSERT_GE(v.bone, 0) << "unbound vertex";
        ASSERT_LT(v.bone, s->bone_count);
    }
    std::set<int> offsets;
    int previous_offset = 0;
    for (const Face& f : m.faces) {
        for (int c : f.vertex) ASSERT_LT(c, static_cast<int>(m.vertices.size()));
        EXPECT_EQ(f.render_class, 0);
        EXPECT_EQ(f.double_sided, 0);
        EXPECT_GE(f.texture_offset, previous_offset) << "faces not grouped by texture";
        previous_offset = f.texture_offset;
        offsets.insert(f.texture_offset);
        for (auto& uv : f.uv) {
            EXPECT_TRUE(uv[0] >= 0 && uv[0] <= 1 && uv[1] >= 0 && uv[1] <= 1);
        }
    }
    EXPECT_EQ(offsets, figure.texture_offsets);
}

// Every part is a solid wound counter-clockwise from outside: welded by
// position, each edge is crossed once in each direction, and each piece
// encloses a positive volume. Inverted winding would light the figure from
// inside. A part may leave an end open where it is buried in its neighbour:
// such an opening is a flat ring of at least four corners (a missing face
// would leave a three-cornered hole), and it is closed here before the
// volume is taken.
TEST_P(EachFigure, PartsAreSolidsWoundOutward) {
    std::map<std::tuple<double, double, double>, int> weld;
    std::vector<int> id(m.vertices.size());
    std::vector<Vec> at;
    for (size_t i = 0; i < m.vertices.size(); i++) {
        Vec p = vec(m.vertices[i].p);
        auto found = weld.emplace(std::make_tuple(p.x, p.y, p.z), static_cast<int>(weld.size()));
        if (found.second) at.push_back(p);
        id[i] = found.first->second;
    }
    std::map<std::pair<int, int>, int> edges;
    std::vector<int> group(weld.size());
    for (size_t i = 0; i < group.size(); i++) group[i] = static_cast<int>(i);
    auto root = [&](int a) {
        while (group[a] != a) a = group[a] = group[group[a]];
        return a;
    };
    std::vector<std::array<int, 3>> triangles;
    for (const Face& f : m.faces) triangles.push_back({id[f.vertex[0]], id[f.vertex[1]], id[f.vertex[2]]});
    for (const auto& t : triangles) {
        for (int c = 0; c < 3; c++) {
            edges[{t[c], t[(c + 1) % 3]}]++;
            group[root(t[c])] = root(t[(c + 1) % 3]);
        }
    }
    // Openings: edges crossed once with no way back, chained into rings.
    std::map<int, int> next;
    for (const auto& e : edges) {
        if (e.second != 1 || edges.count({e.first.second, e.first.first}) != 0) continue;
        EXPECT_EQ(next.count(e.first.first), 0u) << "two openings meet in one corner";
        next[e.first.first] = e.first.second;
    }
    std::set<int> walked;
    for (const auto& start : next) {
        if (walked.count(start.first)) continue;
        std::vector<int> ring;
        for (int v = start.first; !walked.count(v) && next.count(v); v = next[v]) {
            walked.insert(v);
            ring.push_back(v);
        }
        EXPECT_GE(ring.size(), 4u) << "a hole where a face is missing";
        if (ring.size() < 3) continue;
        Vec n = cross(at[ring[1]] - at[ring[0]], at[ring[2]] - at[ring[0]]);
        const double length = std::sqrt(dot(n, n));
        for (int v : ring)
            EXPECT_NEAR(dot(n, at[v] - at[ring[0]]) / length, 0.0, 1e-4) << "an opening that is not flat";
        for (size_t i = 1; i + 1 < ring.size(); i++) {
            std::array<int, 3> cap = {ring[0], ring[i + 1], ring[i]};
            triangles.push_back(cap);
            for (int c = 0; c < 3; c++) edges[{cap[c], cap[(c + 1) % 3]}]++;
        }
    }
    int unmatched = 0;
    for (const auto& e : edges)
        if (e.second != 1 || edges.count({e.first.second, e.first.first}) == 0 ||
            edges[{e.first.second, e.first.first}] != 1)
            unmatched++;
    EXPECT_EQ(unmatched, 0) << "open or inconsistently wound edges";

    std::map<int, double> volume;
    for (const auto& t : triangles) {
        Vec a = at[t[0]], b = at[t[1]], c = at[t[2]];
        double det = a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x);
        volume[root(t[0])] += det / 6;
    }
    EXPECT_GT(volume.size(), 10u);
    for (const auto& piece : volume) EXPECT_GT(piece.second, 0.0) << "a piece is wound inside out";
}

TEST_P(EachFigure, FiguresStandOnTheFloorFacingMinusY) {
    std::vector<Vec> rest;
    for (const MeshVertex& v : m.vertices) rest.push_back(vec(v.p));
    Box box = bounds(rest);
    EXPECT_NEAR(box.lo.z, 0.0, 1e-4) << "feet not on the floor";
    EXPECT_GE(box.hi.z, 1.8);
    EXPECT_LE(box.hi.z, 2.2);
    EXPECT_LE(box.hi.x - box.lo.x, 1.6);
    EXPECT_GE(box.hi.x - box.lo.x, 0.7);

    // The face, painted in the middle of the head's texture strip, is
    // on the -y side of the head.
    double face_y = 0, head_y = 0;
    int face_corners = 0, head_corners = 0;
    for (const Face& f : m.faces) {
        if (f.texture_offset != figure.face_offset) continue;
        bool in_strip = true;
        float mean_u = 0;
        for (auto& uv : f.uv) {
            in_strip = in_strip && uv[1] >= figure.face_strip_top && uv[1] <= figure.face_strip_bottom;
            mean_u += uv[0] / 3;
        }
        bool in_middle = std::fabs(mean_u - 0.5f) < 0.1f;
        if (!in_strip) continue;
        for (int c : f.vertex) {
            head_y += m.vertices[c].p.y;
            head_corners++;
            if (in_middle) {
                face_y += m.vertices[c].p.y;
                face_corners++;
            }
        }
    }
    ASSERT_GT(face_corners, 0);
    EXPECT_LT(face_y / face_corners, head_y / head_corners - 0.05) << "the face does not look towards -y";

    // Each bone's vertices lie on the same side as its pivot, so a
    // mirrored limb can never end up on the other side's bones.
    std::vector<Vec> sum(s->bone_count, Vec{0, 0, 0});
    std::vector<int> count(s->bone_count, 0);
    for (const MeshVertex& v : m.vertices) {
        sum[v.bone].x += v.p.x;
        count[v.bone]++;
    }
    for (int b = 0; b < s->bone_count; b++) {
        if (count[b] == 0 || std::fabs(s->bones[b].pivot[0]) < 0.05) continue;
        EXPECT_GT(sum[b].x / count[b] * s->bones[b].pivot[0], 0.0) << "bone " << b << " has the other side's part";
    }
}

TEST_F(FigureAssets, ThePlayerHoldsTheRifleForwardAndTheEnemyIsHunched) {
    // The rifle points forward and is held on the right (-x) side.
    const Mesh player = mesh(PLAYER.mesh);
    Box rifle;
    double rifle_x = 0;
    int rifle_corners = 0;
    for (const Face& f : player.faces) {
        if (f.texture_offset != 2) continue;
        for (int c : f.vertex) {
            rifle.add(vec(player.vertices[c].p));
            rifle_x += player.vertices[c].p.x;
            rifle_corners++;
        }
    }
    ASSERT_GT(rifle_corners, 0);
    EXPECT_LT(rifle.lo.y, -0.8);
    EXPECT_LT(rifle_x / rifle_corners, 0.0);

    // The enemy is hunched: its top fifth hangs forward of its body.
    const Mesh enemy = mesh(ENEMY.mesh);
    std::vector<Vec> rest;
    for (const MeshVertex& v : enemy.vertices) rest.push_back(vec(v.p));
    double top = bounds(rest).hi.z * 0.8, top_y = 0, all_y = 0;
    int top_count = 0;
    for (const Vec& p : rest) {
        all_y += p.y;
        if (p.z > top) {
            top_y += p.y;
            top_count++;
        }
    }
    ASSERT_GT(top_count, 0);
    EXPECT_LT(top_y / top_count, all_y / rest.size() - 0.1);
}

TEST_P(EachFigure, SkeletonsHoldAnimatedClipsAndRestKeysElsewhere) {
    ASSERT_GT(s->bone_count, 0);
    EXPECT_LT(s->bones[0].parent, 0);
    for (int b = 0; b < s->bone_count; b++) {
        EXPECT_LT(s->bones[b].parent, b);
        for (int k = 0; k < ESQ_KEYFRAMES; k++) {
            if (!is_clip_key(k)) {
                EXPECT_TRUE(is_rest(s->bones[b], k)) << "bone " << b << " key " << k;
            }
            for (int c = 3; c < 6; c++) EXPECT_EQ(key_value(s->bones[b], k, c), 1.0f) << "figures never scale";
        }
    }
    // Every clip moves: its keys differ from each other.
    for (const Clip& clip : CLIPS) {
        bool moves = false;
        for (int b = 0; b < s->bone_count; b++)
            for (int k = clip.first + 1; k <= clip.last; k++)
                for (int c = 0; c < ESQ_KEY_FLOATS; c++)
                    moves = moves || key_value(s->bones[b], k, c) != key_value(s->bones[b], clip.first, c);
        EXPECT_TRUE(moves) << "clip " << clip.first << "-" << clip.last << " is frozen";
    }
}

// Posed by the game's own skinning, the figures keep their feet near the floor
// and their size in every clip key, and the loop from a clip's last key
// back to its first is no bigger a move than the steps within the clip.
TEST_P(EachFigure, ClipPosesStayGroundedAndLoopSmoothly) {
    const LoadedModel model = load_generated_model(path(figure.mesh));
    ASSERT_TRUE(model);
    // The vertices at one key, skinned by the game.
    auto pose = [&](int key) {
        s->from_key = s->to_key = static_cast<int16_t>(key);
        s->blend = 0;
        skin_model(s.get(), model.get());
        std::vector<Vec> posed;
        for (int v = 0; v < model->vertex_count; v++) {
            const float* p = &model->posed_positions[3 * v];
            posed.push_back(Vec{p[0], p[1], p[2]});
        }
        return posed;
    };
    for (const Clip& clip : CLIPS) {
        double largest_step = 0, loop_step = 0;
        for (int k = clip.first; k <= clip.last; k++) {
            std::vector<Vec> here = pose(k);
            std::vector<Vec> next = pose(k == clip.last ? clip.first : k + 1);
            Box box = bounds(here);
            EXPECT_GT(box.lo.z, -0.05) << "key " << k << " sinks into the floor";
            EXPECT_LT(box.lo.z, 0.1) << "key " << k << " floats";
            EXPECT_GT(box.hi.z, 1.6) << "key " << k;
            EXPECT_LT(box.hi.z, 2.25) << "key " << k;
            double largest = 0;
            for (size_t v = 0; v < here.size(); v++) {
                double dx = next[v].x - here[v].x, dy = next[v].y - here[v].y, dz = next[v].z - here[v].z;
                largest = std::fmax(largest, std::sqrt(dx * dx + dy * dy + dz * dz));
            }
            EXPECT_LT(largest, 1.2) << "jump after key " << k;
            if (k == clip.last) loop_step = largest;
            else largest_step = std::fmax(largest_step, largest);
        }
        EXPECT_LE(loop_step, largest_step * 1.5)
            << "clip " << clip.first << "-" << clip.last << " jumps at its loop";
    }
    // Outside the clips the figure stands exactly as modelled.
    std::vector<Vec> rest = pose(7);
    for (size_t v = 0; v < rest.size(); v++) ASSERT_NEAR(rest[v].z, model->rest_positions[3 * v + 2], 1e-5);
}

}  // namespace
