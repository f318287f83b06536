// The world assets the build generates into datos/, read as the game reads
// them: where the arena's pieces stand and the floor under the whole play
// area, the sky's radius, the sprites' black frames; and every mesh and
// picture of the set well formed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/asset_list.h"
#include "support/generated_assets.h"

namespace {

using P3 = AssetPoint;
P3 sub(P3 a, P3 b) { return P3{a.x - b.x, a.y - b.y, a.z - b.z}; }
P3 cross3(P3 a, P3 b) { return P3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot3(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Emd : Mesh {
    P3 at(const Face& t, int i) const { return vertices[t.vertex[i]].p; }
    P3 normal(const Face& t) const { return cross3(sub(at(t, 1), at(t, 0)), sub(at(t, 2), at(t, 0))); }
    P3 centroid(const Face& t) const {
        P3 a = at(t, 0), b = at(t, 1), c = at(t, 2);
        return P3{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
    }
};

Emd read_emd(const char* name) { return Emd{read_mesh(generated_asset(name))}; }

// Mean colour difference across the picture's wrap (last column to first, or
// last row to first) against the mean difference between neighbours inside.
void expect_seamless(const RawImage& raw, bool across_rows, const char* name) {
    double seam = 0, inside = 0;
    int along = across_rows ? raw.width : raw.height, across = across_rows ? raw.height : raw.width;
    for (int k = 0; k < along; k++) {
        for (int c = 0; c < 3; c++) {
            auto at = [&](int i) { return across_rows ? raw.px(k, i)[c] : raw.px(i, k)[c]; };
            seam += std::abs(at(across - 1) - at(0));
            for (int i = 0; i + 1 < across; i++) inside += std::abs(at(i + 1) - at(i));
        }
    }
    seam /= along * 3.0;
    inside /= along * 3.0 * (across - 1);
    EXPECT_LE(seam, 2.5 * inside + 4) << name << (across_rows ? " top/bottom" : " left/right") << " seam";
}

const char* const SPRITE_FILES[] = {
    asset_name(ASSET_PLAYER_SHOT_TEXTURE), asset_name(ASSET_ENEMY_SHOT_TEXTURE),
    asset_name(ASSET_FIREBALL_TEXTURE), asset_name(ASSET_SHOCK_RING_TEXTURE),
    asset_name(ASSET_SHADOW_TEXTURE), asset_name(ASSET_MARK_TEXTURE),
};

class WorldAssets : public GeneratedAssetTest {};

// Every mesh and picture of the game's list, the figures' and the menus'
// too.
TEST_F(WorldAssets, EveryFileIsWellFormed) {
    for (const AssetFile& file : ASSET_FILES) {
        const char* name = file.name;
        if (file.kind == ASSET_MODEL) {
            Emd emd = read_emd(name);
            EXPECT_FALSE(emd.faces.empty()) << name;
            // The game's normal pass lists at most 100 faces around a vertex,
            // and a face without area gives its corners no direction.
            std::vector<int> uses(emd.vertices.size(), 0);
            for (const Face& t : emd.faces) {
                for (int c : t.vertex) uses[c]++;
                P3 n = emd.normal(t);
                EXPECT_GT(dot3(n, n), 1e-10f) << name << " has a face without area";
            }
            EXPECT_LE(*std::max_element(uses.begin(), uses.end()), 100) << name;
            continue;
        }
        if (file.kind != ASSET_TEXTURE) continue;
        RawImage raw = read_picture(path(name));  // sides: with every picture, tests/assets
        ASSERT_GT(raw.width, 0) << name;
        size_t opaque = 0;
        for (size_t i = 3; i < raw.rgba.size(); i += 4) opaque += raw.rgba[i] == 255;
        EXPECT_EQ(opaque, raw.rgba.size() / 4) << name;
    }
}

TEST_F(WorldAssets, ArenaFloorWallsAndSceneryStandWhereThePlayLets) {
    Emd arena = read_emd("a.emd");
    ASSERT_FALSE(arena.faces.empty());
    EXPECT_LE(arena.faces.size(), 2000u);

    double floor_area = 0;
    bool inner_wall[4] = {false, false, false, false};
    for (const Face& t : arena.faces) {
        P3 n = arena.normal(t), c = arena.centroid(t);
        float top = std::max({arena.at(t, 0).z, arena.at(t, 1).z, arena.at(t, 2).z});
        bool inside = true, within_wall = true;
        for (int i = 0; i < 3; i++) {
            P3 p = arena.at(t, i);
            inside = inside && std::fabs(p.x) <= 28.0f && std::fabs(p.y) <= 28.0f;
            within_wall = within_wall && std::fabs(p.x) <= 29.4f && std::fabs(p.y) <= 29.4f;
        }
        if (within_wall && top == 0 && n.z > 0) floor_area += 0.5 * n.z;
        if (inside) {
            EXPECT_TRUE(t.texture_offset <= 1) << "floor face with texture " << t.texture_offset;
            EXPECT_GT(n.z, 0) << "floor face turned down";
        }
        if (top > 0.05f) {
            // Everything that rises lies wholly on the far side of one wall line.
            bool beyond = false;
            for (int axis = 0; axis < 2 && !beyond; axis++) {
                for (int sign = -1; sign <= 1 && !beyond; sign += 2) {
                    bool all = true;
                    for (int i = 0; i < 3; i++) {
                        P3 p = arena.at(t, i);
                        all = all && sign * (axis == 0 ? p.x : p.y) >= 28.99f;
                    }
                    beyond = all;
                }
            }
            EXPECT_TRUE(beyond) << "face near (" << c.x << ", " << c.y << ", " << c.z << ") stands in the arena";
        }
        // The perimeter wall's faces towards the arena face the middle.
        if (t.texture_offset == 2 && std::fabs(n.z) < 1e-4f && top >= 3.0f) {
            float ax = std::fabs(c.x), ay = std::fabs(c.y);
            if (ay > 29.0f && ay < 30.0f && ax < 29.0f && dot3(n, c) < 0) inner_wall[c.y > 0 ? 0 : 1] = true;
            if (ax > 29.0f && ax < 30.0f && ay < 29.0f && dot3(n, c) < 0) inner_wall[c.x > 0 ? 2 : 3] = true;
        }
    }
    EXPECT_NEAR(floor_area, 58.8 * 58.8, 0.5);  // from wall to wall
    for (bool wall : inner_wall) EXPECT_TRUE(wall);
}

// Every point of the play area has a drawn floor face under it that faces
// up (or is drawn from both sides).
TEST_F(WorldAssets, ArenaFloorCoversThePlayArea) {
    Emd arena = read_emd("a.emd");
    ASSERT_FALSE(arena.faces.empty());
    // Twice the signed area of a triangle seen from above: positive facing up.
    auto area = [](P3 a, P3 b, P3 c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
    std::vector<P3> floor;  // three corners a face
    for (const Face& t : arena.faces) {
        const P3 p[3] = {arena.at(t, 0), arena.at(t, 1), arena.at(t, 2)};
        const bool flat = std::fabs(p[0].z) <= 0.05f && std::fabs(p[1].z) <= 0.05f && std::fabs(p[2].z) <= 0.05f;
        const float whole = area(p[0], p[1], p[2]);
        if (t.render_class > 5 || !flat || whole == 0 || (whole < 0 && t.double_sided != 1)) continue;
        floor.insert(floor.end(), {p[0], p[1], p[2]});
    }
    ASSERT_FALSE(floor.empty());
    int uncovered = 0;
    for (float x = -28; x <= 28; x += 0.5f) {
        for (float y = -28; y <= 28; y += 0.5f) {
            const P3 q{x, y, 0};
            bool covered = false;
            for (size_t i = 0; i < floor.size() && !covered; i += 3) {
                const float whole = area(floor[i], floor[i + 1], floor[i + 2]);
                const float s = whole > 0 ? 1.0f : -1.0f, slack = 1e-4f * std::fabs(whole);
                covered = s * area(q, floor[i], floor[i + 1]) >= -slack &&
                          s * area(q, floor[i + 1], floor[i + 2]) >= -slack &&
                          s * area(q, floor[i + 2], floor[i]) >= -slack;
            }
            if (!covered && uncovered++ < 5) ADD_FAILURE() << "no floor under (" << x << ", " << y << ")";
        }
    }
    EXPECT_EQ(uncovered, 0);
}

TEST_F(WorldAssets, ArenaFacesAreGroupedByTextureAndUseEveryPass) {
    Emd arena = read_emd("a.emd");
    ASSERT_FALSE(arena.faces.empty());
    bool used[10] = {};
    int texture_changes = 0;
    bool deferred = false, glow = false;
    for (size_t i = 0; i < arena.faces.size(); i++) {
        const Face& t = arena.faces[i];
        ASSERT_LT(t.texture_offset, 10) << "the arena reaches slots 14 to 23 only";
        used[t.texture_offset] = true;
        if (i > 0 && t.texture_offset != arena.faces[i - 1].texture_offset) texture_changes++;
        EXPECT_LE(t.render_class, 5);
        if (t.render_class == 2 || t.render_class == 3) deferred = true;
        if (t.render_class == 4 || t.render_class == 5) {
            glow = true;
            // A glow face adds its picture: on the tower cabin picture only
            // the upper half (the lit windows on black) may be used.
            EXPECT_TRUE(t.texture_offset == 8 || t.texture_offset == 9);
            if (t.texture_offset == 8) {
                for (auto& uv : t.uv) EXPECT_GE(uv[1], 0.5f);
            }
        }
    }
    EXPECT_LE(texture_changes, 16) << "faces of one texture lie scattered, each change costs a bind";
    for (int k = 0; k < 10; k++) EXPECT_TRUE(used[k]) << "texture offset " << k << " unused";
    EXPECT_TRUE(deferred);
    EXPECT_TRUE(glow);
}

TEST_F(WorldAssets, SkyIsADomeSeenFromInside) {
    Emd sky = read_emd("esfera.emd");
    ASSERT_FALSE(sky.faces.empty());
    EXPECT_GE(sky.faces.size(), 150u);
    EXPECT_LE(sky.faces.size(), 800u);
    float highest = -1e9f, lowest = 1e9f;
    for (const MeshVertex& v : sky.vertices) {
        const P3 p = v.p;
        EXPECT_NEAR(std::sqrt(dot3(p, p)), 500.0f, 1.0f);
        highest = std::max(highest, p.z);
        lowest = std::min(lowest, p.z);
    }
    EXPECT_GT(highest, 499.0f);
    EXPECT_LT(lowest, -50.0f);  // reaches below the horizon
    for (const Face& t : sky.faces) {
        EXPECT_LT(dot3(sky.normal(t), sky.centroid(t)), 0) << "sky face turned away from the centre";
        EXPECT_EQ(t.texture_offset, 0);
        EXPECT_EQ(t.render_class, 0);
        // A face spanning much of the picture would smear it into a streak.
        float u_lo = std::min({t.uv[0][0], t.uv[1][0], t.uv[2][0]});
        float u_hi = std::max({t.uv[0][0], t.uv[1][0], t.uv[2][0]});
        EXPECT_LT(u_hi - u_lo, 0.25f);
        for (auto& uv : t.uv) {
            // The sky pictures are clamped: stay inside them.
            EXPECT_GT(uv[0], 0.0f);
            EXPECT_LT(uv[0], 1.0f);
            EXPECT_GT(uv[1], 0.0f);
            EXPECT_LT(uv[1], 1.0f);
        }
    }
}

TEST_F(WorldAssets, ItemBoxIsAUnitCrateAndTheShotIsSmall) {
    Emd box = read_emd("armamento.emd");
    ASSERT_FALSE(box.faces.empty());
    P3 lo = {1e9f, 1e9f, 1e9f}, hi = {-1e9f, -1e9f, -1e9f};
    for (const MeshVertex& v : box.vertices) {
        const P3 p = v.p;
        lo = P3{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = P3{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    EXPECT_NEAR(lo.z, 0.0f, 1e-5f);
    for (float extent : {hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}) {
        EXPECT_GE(extent, 0.7f);
        EXPECT_LE(extent, 1.2f);
    }
    EXPECT_NEAR(lo.x + hi.x, 0.0f, 1e-5f);
    EXPECT_NEAR(lo.y + hi.y, 0.0f, 1e-5f);
    P3 middle = {0, 0, (lo.z + hi.z) / 2};
    EXPECT_GE(box.faces.size(), 10u);
    for (const Face& t : box.faces) {
        EXPECT_GT(dot3(box.normal(t), sub(box.centroid(t), middle)), 0) << "crate face turned inwards";
        EXPECT_EQ(t.texture_offset, 0);
        for (auto& uv : t.uv) {
            EXPECT_GE(uv[0], 0.0f);
            EXPECT_LE(uv[0], 1.0f);
            EXPECT_GE(uv[1], 0.0f);
            EXPECT_LE(uv[1], 1.0f);
        }
    }

    Emd shot = read_emd("disparo.emd");
    ASSERT_FALSE(shot.faces.empty());
    for (const MeshVertex& v : shot.vertices) EXPECT_LE(std::sqrt(dot3(v.p, v.p)), 0.3f);
    for (const Face& t : shot.faces) EXPECT_GT(dot3(shot.normal(t), shot.centroid(t)), 0);
}

TEST_F(WorldAssets, PicturesBlendAndRepeatCleanly) {
    for (const char* name : SPRITE_FILES) {
        RawImage raw = read_picture(path(name));
        ASSERT_GT(raw.width, 0) << name;
        int lit_border = 0;
        for (int y = 0; y < raw.height; y++) {
            for (int x = 0; x < raw.width; x++) {
                if (x > 0 && y > 0 && x < raw.width - 1 && y < raw.height - 1) continue;
                const uint8_t* p = raw.px(x, y);
                lit_border += p[0] != 0 || p[1] != 0 || p[2] != 0;
            }
        }
        EXPECT_EQ(lit_border, 0) << name << " has a visible edge";
        // The ground ring's middle is dark; everything else glows there.
        const uint8_t* mid = raw.px(raw.width / 2, raw.height / 2);
        if (std::strcmp(name, "muerte_2.raw") != 0) {
            EXPECT_GT(mid[0] + mid[1] + mid[2], 150) << name;
        }
    }
    // The three skies wrap around the dome only; the walls and floors repeat
    // both ways.
    const char* const tiled[] = {"alba.raw",  "atardecer.raw", "noche.raw", "piso1.raw",   "piso2.raw",
                                 "pared1.raw", "ruina.raw",    "hangar1.raw", "techo.raw", "torre_1.raw"};
    for (int i = 0; i < 10; i++) {
        RawImage raw = read_picture(path(tiled[i]));
        ASSERT_GT(raw.width, 0) << tiled[i];
        expect_seamless(raw, false, tiled[i]);
        // The skies are brighter at the horizon (first rows) than at the zenith.
        if (i >= 3) expect_seamless(raw, true, tiled[i]);
        else EXPECT_GT(raw.px(0, 0)[0], raw.px(0, raw.height - 1)[0]) << tiled[i];
    }
}

}  // namespace
