// Plane geometry: rectangle rows, matrix properties on random well-conditioned
// matrices, rounding at the limits, and rectangle subtraction by area.
#include "KW_Geometry.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

::testing::AssertionResult Near(const CKW_Matrix& m, float a, float b, float c, float d, float e, float f,
                                float tolerance = 1e-4f)
{
    const float got[] = {m.a, m.b, m.c, m.d, m.e, m.f}, want[] = {a, b, c, d, e, f};
    for (int i = 0; i < 6; ++i) {
        if (!(std::fabs(got[i] - want[i]) <= tolerance))
            return ::testing::AssertionFailure() << "entry " << i << ": " << got[i] << " != " << want[i];
    }
    return ::testing::AssertionSuccess();
}

bool Equal(const KW_RECT& r, int l, int t, int rt, int b)
{
    return r.left == l && r.top == t && r.right == rt && r.bottom == b;
}

TEST(IntRect, IntersectUnionValid)
{
    KW_RECT r = {0, 0, 10, 10};
    r.Intersect({20, 20, 30, 30});
    EXPECT_TRUE(Equal(r, 0, 0, 0, 0));
    r = {10, 10, 0, 0};   // not normalised
    r.Intersect({5, 5, 20, 20});
    EXPECT_TRUE(Equal(r, 5, 5, 10, 10));
    r.Union({-3, 20, 0, 8});
    EXPECT_TRUE(Equal(r, -3, 5, 10, 20));
    EXPECT_TRUE((KW_RECT{INT32_MIN / 2, 0, INT32_MAX / 2, 1}).Valid());
    EXPECT_FALSE((KW_RECT{-10, 0, INT32_MAX, 1}).Valid());
}

TEST(FloatRect, IntegerRectanglesSaturateByTheRoundingRules)
{
    struct Case {
        const char* what;
        CKW_FloatRect rect;   // left, right, bottom, top
        KW_RECT outer, inner, closest;
    };
    const float big = 1e10f;
    const Case cases[] = {
        {"plain", {0.2f, 9.8f, 0.5f, 4.5f}, {0, 0, 10, 5}, {1, 1, 9, 4}, {0, 0, 10, 4}},
        {"negative", {-2.5f, -0.5f, -1.5f, 1.5f}, {-3, -2, 0, 2}, {-2, -1, -1, 1}, {-3, -2, -1, 1}},
        {"NaN", {kNaN, 1, kNaN, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}, {0, 0, 0, 0}},
        {"huge", {-big, big, -big, big}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
         {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}},
    };
    for (const Case& c : cases) {
        const KW_RECT o = c.rect.GetOutterRect(), i = c.rect.GetInnerRect();
        EXPECT_TRUE(Equal(o, c.outer.left, c.outer.top, c.outer.right, c.outer.bottom)) << c.what << " outer";
        EXPECT_TRUE(Equal(i, c.inner.left, c.inner.top, c.inner.right, c.inner.bottom)) << c.what << " inner";
        if (std::string(c.what) != "NaN") {
            const KW_RECT n = c.rect.GetClosestRect();
            EXPECT_TRUE(Equal(n, c.closest.left, c.closest.top, c.closest.right, c.closest.bottom))
                << c.what << " closest " << n.left << "," << n.top << "," << n.right << "," << n.bottom;
        } else {
            c.rect.GetClosestRect();   // no undefined conversion (float-cast-overflow in the sanitizer build)
        }
    }
    EXPECT_EQ(KWSYS_round(2.5f), 3);
    EXPECT_EQ(KWSYS_round(-2.5f), -3);
    EXPECT_EQ(KWSYS_round(kNaN), 0);
    EXPECT_EQ(KWSYS_round(3e9f), INT32_MAX);
}

TEST(FloatRect, ContainsBoxTransformIntersection)
{
    CKW_FloatRect r(0, 10, 0, 5);
    EXPECT_TRUE(r.Contains(CKW_FloatRect(10, 0, 5, 0)));   // normalised by min/max, edges included
    EXPECT_FALSE(r.Contains(CKW_FloatRect(0, 10.5f, 0, 5)));
    EXPECT_TRUE(r.Contains(10, 5));
    EXPECT_FALSE(r.Contains(10.01f, 5));

    const CKW_PSVTemplate<float> points[] = {{3, 4}, {-1, 9}, {2, -2}};
    CKW_FloatRect box(7, 7, 7, 7);
    box.GetBBox(points, 3);
    EXPECT_EQ(box.left, -1);
    EXPECT_EQ(box.right, 3);
    EXPECT_EQ(box.bottom, -2);
    EXPECT_EQ(box.top, 9);
    box.GetBBox(points, 0);
    EXPECT_EQ(box.right, 0);

    CKW_Matrix scale(2, 0, 0, -1, 1, 0);
    CKW_FloatRect t(0, 1, 0, 1);
    t.Transform(&scale);
    EXPECT_EQ(t.left, 1);
    EXPECT_EQ(t.right, 3);
    EXPECT_EQ(t.bottom, -1);
    EXPECT_EQ(t.top, 0);

    float low = 0, high = 0;
    EXPECT_FALSE(GetIntersection(0, 1, 1, 2, low, high));
    EXPECT_TRUE(GetIntersection(0, 3, 1, 5, low, high));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 3);
}

TEST(FloatRect, AdjacencyRows)
{
    struct Case {
        const char* what;
        CKW_FloatRect r1, r2;
        float t, dist;
        int direction;
        bool adjacent;
    };
    const Case cases[] = {
        {"stacked, touching", {0, 10, 0, 5}, {0, 10, 5, 8}, 0, 0, 1, true},
        {"stacked, gap within", {0, 10, 0, 5}, {0.5f, 10.5f, 6, 8}, 1, 1.5f, 1, true},
        {"stacked, gap beyond", {0, 10, 0, 5}, {0, 10, 7, 8}, 0, 1.5f, 1, false},
        {"misaligned", {0, 10, 0, 5}, {3, 13, 5, 8}, 1, 1, 1, false},
        {"side by side", {0, 5, 0, 10}, {6, 9, 0, 10}, 0, 1, 0, true},
        {"contained", {0, 10, 0, 10}, {2, 3, 2, 3}, 0, 0, 1, true},
        {"empty", {0, 0, 0, 5}, {0, 10, 5, 8}, 0, 0, 1, false},
        {"bad direction", {0, 10, 0, 5}, {0, 10, 5, 8}, 0, 0, 2, false},
        {"negative tolerance", {0, 10, 0, 5}, {0, 10, 5, 8}, -1, 0, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KW_IsRectAdjacent(c.r1, c.r2, c.t, c.dist, c.direction), c.adjacent) << c.what;
}

float Area(const CKW_FloatRect& r)
{
    return (r.right - r.left) * (r.top - r.bottom);
}

TEST(FloatRect, Substract4PiecesAvoidTheHoleAndAddUp)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> coord(-20, 20);
    for (int n = 0; n < 2000; ++n) {
        CKW_FloatRect r(coord(rng), coord(rng), coord(rng), coord(rng));
        CKW_FloatRect s(coord(rng), coord(rng), coord(rng), coord(rng));
        r.Normalize();
        s.Normalize();
        CKW_FloatRect pieces[4];
        const int count = r.Substract4(s, pieces);
        ASSERT_LE(count, 4);
        CKW_FloatRect overlap = r;
        overlap.Intersect(s);
        float total = 0;
        for (int i = 0; i < count; ++i) {
            total += Area(pieces[i]);
            CKW_FloatRect inHole = pieces[i];
            inHole.Intersect(s);
            EXPECT_EQ(Area(inHole), 0) << "piece " << i << " of case " << n;
            EXPECT_TRUE(r.Contains(pieces[i]) || Area(pieces[i]) == 0) << n;
        }
        EXPECT_EQ(total, Area(r) - Area(overlap)) << "case " << n;
    }
}

TEST(Matrix, PartRows)
{
    CKW_Matrix inverse(9, 9, 9, 9, 9, 9);
    inverse.SetReverse(CKW_Matrix(2, 0, 0, 4, 6, 8));
    EXPECT_TRUE(Near(inverse, 0.5f, 0, 0, 0.25f, -3, -2));
    inverse.SetReverse(CKW_Matrix(1, 2, 2, 4, 0, 0));   // singular: unchanged
    EXPECT_TRUE(Near(inverse, 0.5f, 0, 0, 0.25f, -3, -2));

    CKW_Matrix rotate;
    rotate.Rotate(static_cast<float>(M_PI / 2));
    float x = 1, y = 0;
    rotate.TransformPoint(x, y);
    EXPECT_NEAR(x, 0, 1e-6);
    EXPECT_NEAR(y, 1, 1e-6);

    CKW_Matrix match;
    match.MatchRect(CKW_FloatRect(0, 100, 0, 50), CKW_FloatRect(0, 10, 0, 5));
    EXPECT_TRUE(Near(match, 10, 0, 0, 10, 0, 0));

    CKW_Matrix self(1, 2, 3, 4, 5, 6);
    self.Concat(self);   // with itself: a copy is used
    EXPECT_TRUE(Near(self, 7, 10, 15, 22, 28, 40));

    int32_t ix = 3, iy = 1;
    CKW_Matrix(0.5f, 0, 0, 0.5f, 0, 0).TransformPoint(ix, iy);
    EXPECT_EQ(ix, 2);   // 1.5 rounds away from zero
    EXPECT_EQ(iy, 1);
    EXPECT_FLOAT_EQ(CKW_Matrix(3, 4, 0, 2, 0, 0).GetXUnit(), 5);
    EXPECT_FLOAT_EQ(CKW_Matrix(3, 4, 0, -2, 0, 0).GetYUnit(), 2);
    // Lengths far from 1, where squaring the parts overflows or vanishes.
    EXPECT_FLOAT_EQ(CKW_Matrix(3e20f, 4e20f, 0, 1, 0, 0).GetXUnit(), 5e20f);
    EXPECT_FLOAT_EQ(CKW_Matrix(1, 0, -3e-25f, 4e-25f, 0, 0).GetYUnit(), 5e-25f);
    EXPECT_FLOAT_EQ(CKW_Matrix(1e20f, 1e20f, 0, 1, 0, 0).TransformXDistance(2.0f), 2.8284271e20f);
}

CKW_Matrix RandomMatrix(std::mt19937& rng)
{
    std::uniform_real_distribution<float> u(-3, 3);
    for (;;) {
        CKW_Matrix m(u(rng), u(rng), u(rng), u(rng), u(rng), u(rng));
        if (std::fabs(m.a * m.d - m.b * m.c) > 0.5f)
            return m;
    }
}

void Apply(const CKW_Matrix& m, float& x, float& y)
{
    m.TransformPoint(x, y);
}

TEST(Matrix, PropertiesOnRandomMatrices)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> u(-5, 5);
    for (int n = 0; n < 500; ++n) {
        const CKW_Matrix m1 = RandomMatrix(rng), m2 = RandomMatrix(rng);
        const float px = u(rng), py = u(rng);

        // Concat order: append runs this first, prepend the other first.
        CKW_Matrix appended = m1, prepended = m1;
        appended.Concat(m2, false);
        prepended.Concat(m2, true);
        float ax = px, ay = py, bx = px, by = py, cx = px, cy = py, dx = px, dy = py;
        Apply(appended, ax, ay);
        Apply(m1, bx, by);
        Apply(m2, bx, by);
        Apply(prepended, cx, cy);
        Apply(m2, dx, dy);
        Apply(m1, dx, dy);
        EXPECT_NEAR(ax, bx, 1e-2f) << n;
        EXPECT_NEAR(ay, by, 1e-2f) << n;
        EXPECT_NEAR(cx, dx, 1e-2f) << n;
        EXPECT_NEAR(cy, dy, 1e-2f) << n;

        // The elementary forms agree with Concat of their matrices, both ways.
        const float tx = u(rng), ty = u(rng), angle = u(rng), sx = u(rng), sy = u(rng);
        for (bool prepend : {false, true}) {
            CKW_Matrix viaOp = m1, viaConcat = m1;
            viaOp.Translate(tx, ty, prepend);
            viaConcat.Concat(CKW_Matrix(1, 0, 0, 1, tx, ty), prepend);
            EXPECT_TRUE(Near(viaOp, viaConcat.a, viaConcat.b, viaConcat.c, viaConcat.d, viaConcat.e, viaConcat.f, 1e-3f));
            viaOp = m1;
            viaConcat = m1;
            viaOp.Scale(sx, sy, prepend);
            viaConcat.Concat(CKW_Matrix(sx, 0, 0, sy, 0, 0), prepend);
            EXPECT_TRUE(Near(viaOp, viaConcat.a, viaConcat.b, viaConcat.c, viaConcat.d, viaConcat.e, viaConcat.f, 1e-3f));
        }

        // M x inverse = identity.
        CKW_Matrix product = m1;
        product.ConcatInverse(m1);
        EXPECT_TRUE(Near(product, 1, 0, 0, 1, 0, 0, 1e-3f)) << n;

        // RotateAt fixes its centre with either flag.
        const float cxr = u(rng), cyr = u(rng);
        CKW_Matrix before = m1;
        before.RotateAt(angle, cxr, cyr, true);
        float fx = cxr, fy = cyr, gx = cxr, gy = cyr;
        Apply(before, fx, fy);
        Apply(m1, gx, gy);
        EXPECT_NEAR(fx, gx, 1e-2f) << "prepend " << n;
        EXPECT_NEAR(fy, gy, 1e-2f) << "prepend " << n;
        CKW_Matrix after = m1;
        after.RotateAt(angle, cxr, cyr, false);
        CKW_Matrix toCentre;
        toCentre.SetReverse(m1);
        float qx = cxr, qy = cyr;
        Apply(toCentre, qx, qy);   // the point m1 sends to the centre
        Apply(after, qx, qy);
        EXPECT_NEAR(qx, cxr, 1e-2f) << "append " << n;
        EXPECT_NEAR(qy, cyr, 1e-2f) << "append " << n;
    }
}

TEST(Matrix3by3, InverseAndMultiply)
{
    const CKW_Matrix_3by3 m = {2, 0, 1, 1, 3, 2, 1, 1, 2};
    const CKW_Matrix_3by3 p = m.Multiply(m.Inverse());
    const float identity[] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const float* got = &p.a;
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(got[i], identity[i], 1e-5f) << i;
    const CKW_Matrix_3by3 singular = {1, 2, 3, 2, 4, 6, 0, 0, 1};
    const CKW_Matrix_3by3 z = singular.Inverse();
    for (const float* v = &z.a; v <= &z.i; ++v)
        EXPECT_EQ(*v, 0);
    const CKW_Vector_3by1 v = m.TransformVector({1, 2, 3});
    EXPECT_EQ(v.a, 5);
    EXPECT_EQ(v.b, 13);
    EXPECT_EQ(v.c, 9);
}

} // namespace
