// The shape helpers as OpenGL receives them: corners, their order and
// texture coordinates captured with feedback.
#include "gl_testing.h"

#include <algorithm>
#include <cmath>

namespace {

// Mesa feeds a quad back as the triangles (0, 1, 3) and (1, 2, 3); this
// puts the four corners together again in the order they were sent.
std::vector<FedVertex> quadcorners(const std::vector<FedPrimitive>& fed) {
    if (fed.size() != 2 || fed[0].size() != 3 || fed[1].size() != 3) {
        ADD_FAILURE() << "not one quad: " << fed.size() << " primitives";
        return {};
    }
    return {fed[0][0], fed[0][1], fed[1][1], fed[0][2]};
}

// Window depth of an object z with feedback()'s projection.
float depth(float z) { return 0.5f - z / 128.0f; }

void expectcorner(const FedVertex& v, float x, float y, float z, float s, float t, int corner) {
    EXPECT_EQ(v.x, x) << "corner " << corner;
    EXPECT_EQ(v.y, y) << "corner " << corner;
    EXPECT_EQ(v.z, depth(z)) << "corner " << corner;
    EXPECT_EQ(v.s, s) << "corner " << corner;
    EXPECT_EQ(v.t, t) << "corner " << corner;
}

}  // namespace

TEST_F(GlBoxTest, FlatShapesSendTheirCornersInOrderWithTheirTextureCoordinates) {
    // The square goes round counter-clockwise seen from +z.
    auto square = quadcorners(feedback([] {
        glTexCoord2f(0.25f, 0.75f);
        guiglsquare(1);
    }));
    ASSERT_EQ(square.size(), 4u);
    float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) expectcorner(square[i], corners[i][0], corners[i][1], 0, 0.25f, 0.75f, i);

    // The wall stands in the y-z plane; seen along x only its edges show,
    // so y and the depth carry its corners.
    auto wall = quadcorners(feedback([] { guiglwall(4, 3, 2); }));
    ASSERT_EQ(wall.size(), 4u);
    expectcorner(wall[0], 0, -2, 0, 0, 0, 0);
    expectcorner(wall[1], 0, 2, 0, 2, 0, 1);
    expectcorner(wall[2], 0, 2, 3, 2, 2, 2);
    expectcorner(wall[3], 0, -2, 3, 0, 2, 3);

    auto rect = quadcorners(feedback([] { guiglrectxy(2, 1, 1); }));
    ASSERT_EQ(rect.size(), 4u);
    expectcorner(rect[0], -1, -0.5f, 0, 0, 0, 0);
    expectcorner(rect[1], 1, -0.5f, 0, 1, 0, 1);
    expectcorner(rect[2], 1, 0.5f, 0, 1, 0.995f, 2);
    expectcorner(rect[3], -1, 0.5f, 0, 0, 0.995f, 3);

    auto triangle = feedback([] { guigltriangletex(0, 0, 0, 1, 2, 0, 2, 0, 0); });
    ASSERT_EQ(triangle.size(), 1u);
    ASSERT_EQ(triangle[0].size(), 3u);
    expectcorner(triangle[0][1], 1, 2, 0, 2, 4, 1);
    expectcorner(triangle[0][2], 2, 0, 0, 4, 0, 2);
}

TEST_F(GlBoxTest, AWallAtAnAngleTurnsWithThePiOf3Point1416) {
    auto straight = quadcorners(feedback([] { guiglwall(4, 3, 2); }));
    auto atzero = quadcorners(feedback([] { guiglwallangle(4, 3, 0, 2); }));
    ASSERT_EQ(atzero.size(), 4u);
    for (int i = 0; i < 4; ++i) expectcorner(atzero[i], straight[i].x, straight[i].y, i < 2 ? 0 : 3,
                                             straight[i].s, straight[i].t, i);

    // At 90 degrees the wall runs along x; 3.1416 / 2 lies just past a right
    // angle, so its far end dips a hair below the x axis.
    auto across = quadcorners(feedback([] { guiglwallangle(4, 3, 90, 1); }));
    ASSERT_EQ(across.size(), 4u);
    EXPECT_EQ(across[0].x, -2.0f);
    EXPECT_EQ(across[1].x, 2.0f);
    EXPECT_LT(across[1].y, 0.0f);
    EXPECT_GT(across[1].y, -1e-4f);
    EXPECT_EQ(across[0].y, -across[1].y);
}

TEST_F(GlBoxTest, QuadricsTakeThePartialDiskAnglesBeforeTheCounts) {
    // A quarter disk from +y (GLU's angle 0) round to +x, in 16 slices.
    auto quarter = feedback([] { guiglpartialdisk(0, 1, 0, 90, 16, 1); });
    EXPECT_EQ(quarter.size(), 16u);
    bool topcorner = false, rightcorner = false;
    for (const FedPrimitive& p : quarter)
        for (const FedVertex& v : p) {
            EXPECT_GE(v.x, -1e-6f);
            EXPECT_GE(v.y, -1e-6f);
            topcorner = topcorner || (std::fabs(v.x) < 1e-6f && std::fabs(v.y - 1) < 1e-6f);
            rightcorner = rightcorner || (std::fabs(v.x - 1) < 1e-6f && std::fabs(v.y) < 1e-6f);
        }
    EXPECT_TRUE(topcorner);
    EXPECT_TRUE(rightcorner);

    // Only the tex forms generate texture coordinates.
    auto texcoords = [](const std::vector<FedPrimitive>& fed) {
        std::vector<std::pair<float, float>> seen;
        for (const FedPrimitive& p : fed)
            for (const FedVertex& v : p) seen.push_back({v.s, v.t});
        std::sort(seen.begin(), seen.end());
        return std::unique(seen.begin(), seen.end()) - seen.begin();
    };
    glTexCoord2f(0, 0);
    EXPECT_EQ(texcoords(feedback([] { guigldisk(0.5, 1, 8, 2); })), 1);
    EXPECT_GT(texcoords(feedback([] { guigldisktex(0.5, 1, 8, 2); })), 8);
    EXPECT_GT(texcoords(feedback([] { guiglspheretex(1, 8, 4); })), 8);
    EXPECT_GT(feedback([] { guiglcylinder(1, 0.5, 2, 8, 2); }).size(), 8u);
}

TEST_F(GlBoxTest, ShapesOfZeroOrNegativeSizeLeaveOpenGLUsable) {
    feedback([] {
        guiglspheretex(-1, 0, -3);
        guiglcylinder(-1, -2, -3, -4, 0);
        guigldisktex(2, 1, 0, 0);
        guiglpartialdisk(0, -1, -90, -720, -8, -8);
        guiglsquaretex(0, -2);
        guiglwallangle(-4, 0, -90, 0);
    });
    // Every glBegin was closed: a state query is legal again.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    auto square = quadcorners(feedback([] { guiglsquare(-1); }));
    ASSERT_EQ(square.size(), 4u);
    EXPECT_EQ(square[0].x, 1.0f);   // the same square, gone round the other way
}

TEST(GuiVectors, EachHelperOverwritesItsOwnStaticArray) {
    float* first = guiglvector(1, 2, 3, 4);
    float* other = guiglvector2(9, 10, 11, 12);
    float* second = guiglvector(5, 6, 7, 8);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    const float want[4] = {5, 6, 7, 8}, kept[4] = {9, 10, 11, 12};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(first[i], want[i]);
        EXPECT_EQ(other[i], kept[i]);
    }
}
