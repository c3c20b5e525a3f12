// Plane geometry in the library's y-up page coordinates: an integer
// rectangle, a float rectangle, a six-number affine matrix with its transforms
// of points, vectors, rectangles, parallelograms and distances, and a 3 x 3
// matrix. Plain records; all arithmetic is in 32-bit floats.
#ifndef KW_GEOMETRY_H
#define KW_GEOMETRY_H

#include <stdint.h>

#include "KW_Primitives.h"

// Shapes the matrix transforms, over float or 32-bit integer coordinates.
template <class T> struct CKW_PSVTemplate { T x, y; };                              // point
template <class T> struct CKW_VTemplate { T x, y; };                                // vector
template <class T> struct CKW_RTemplate { T x, y, width, height; };                 // rectangle
template <class T> struct CKW_RRTemplate { T x, y, width, height, xRadius, yRadius; }; // rounded rectangle
template <class T> struct CKW_PRLTemplate { T x, y, x1, y1, x2, y2; };              // parallelogram: origin, two sides

// Integer rectangle; normalised means left <= right and top <= bottom.
struct KW_RECT {
    int32_t left, top, right, bottom;

    void Normalize();
    // Normalises itself and keeps the overlap with the other's normalised
    // extent; an empty overlap makes all four 0.
    void Intersect(const KW_RECT& other);
    void Union(const KW_RECT& other);
    // Width and height can both be computed in 32 bits.
    bool Valid() const;
};

class CKW_Matrix;

// Float rectangle; normalised means left <= right and bottom <= top.
class CKW_FloatRect {
public:
    CKW_FloatRect() : left(0), right(0), bottom(0), top(0) {}
    CKW_FloatRect(float l, float r, float b, float t) : left(l), right(r), bottom(b), top(t) {}
    // Field for field: the integer top becomes bottom, the integer bottom top.
    explicit CKW_FloatRect(const KW_RECT& rect);

    void Normalize();
    void Intersect(const CKW_FloatRect& other);
    void Union(const CKW_FloatRect& other);
    bool Contains(const CKW_FloatRect& other) const;
    bool Contains(float x, float y) const;
    void UpdateRect(float x, float y);
    void GetBBox(const CKW_PSVTemplate<float>* points, int count);
    void Transform(const CKW_Matrix* matrix);

    // Integer rectangles: outward, inward and of the nearest whole size.
    // Every conversion saturates to 32 bits; NaN gives 0.
    KW_RECT GetOutterRect() const;
    KW_RECT GetInnerRect() const;
    KW_RECT GetClosestRect() const;

    // The parts of this rectangle outside s, at most four; returns their count.
    int Substract4(const CKW_FloatRect& s, CKW_FloatRect* out) const;

    float left, right, bottom, top;
};

// The overlap of [low1, high1] and [low2, high2]; false when they do not overlap.
bool GetIntersection(float low1, float high1, float low2, float high2, float& low, float& high);

// Whether two rectangles lie side by side: direction 1 compares their
// horizontal extents (aligned within alignTolerance) and measures the vertical
// gap, direction 0 the other way round.
bool KW_IsRectAdjacent(const CKW_FloatRect& r1, const CKW_FloatRect& r2, float alignTolerance,
                       float distanceTolerance, int direction);

// Affine map: (x, y) -> (a x + c y + e, b x + d y + f). `prepend` false applies
// a new transform after the existing one, true before it.
class CKW_Matrix {
public:
    CKW_Matrix() : a(1), b(0), c(0), d(1), e(0), f(0) {}
    CKW_Matrix(float a1, float b1, float c1, float d1, float e1, float f1) : a(a1), b(b1), c(c1), d(d1), e(e1), f(f1) {}

    void Set(float a1, float b1, float c1, float d1, float e1, float f1);
    void Set(const float values[6]);
    void SetIdentity() { Set(1, 0, 0, 1, 0, 0); }
    bool IsIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }

    void Concat(const CKW_Matrix& m, bool prepend = false);
    void Concat(float a1, float b1, float c1, float d1, float e1, float f1, bool prepend = false);
    // This becomes the inverse of m; a singular m leaves this unchanged.
    void SetReverse(const CKW_Matrix& m);
    void ConcatInverse(const CKW_Matrix& m, bool prepend = false);

    bool IsInvertible() const;
    bool Is90Rotated() const;
    bool IsScaled() const;

    void Translate(float x, float y, bool prepend = false);
    void Scale(float sx, float sy, bool prepend = false);
    void Rotate(float radians, bool prepend = false);
    // Turns around (x, y) of the space the rotation is applied in.
    void RotateAt(float radians, float x, float y, bool prepend = false);
    void Shear(float alpha, float beta, bool prepend = false);
    void MatchRect(const CKW_FloatRect& destination, const CKW_FloatRect& source);

    float GetXUnit() const;
    float GetYUnit() const;
    float GetUnitArea() const;
    CKW_FloatRect GetUnitRect() const;
    void GetUnitRect(CKW_RTemplate<float>& rect) const;
    void GetUnitParallelogram(CKW_PRLTemplate<float>& parallelogram) const;

    void TransformPoint(float& x, float& y) const;
    void TransformPoint(int32_t& x, int32_t& y) const;
    void TransformPoints(CKW_PSVTemplate<float>* points, int count) const;
    void TransformPoints(CKW_PSVTemplate<int32_t>* points, int count) const;
    void TransformVector(CKW_VTemplate<float>& v) const;
    void TransformVector(CKW_VTemplate<int32_t>& v) const;
    float TransformXDistance(float dx) const;
    int32_t TransformXDistance(int32_t dx) const;
    float TransformYDistance(float dy) const;
    int32_t TransformYDistance(int32_t dy) const;
    float TransformDistance(float dx, float dy) const;
    int32_t TransformDistance(int32_t dx, int32_t dy) const;
    float TransformDistance(float distance) const;
    void TransformRect(float& left, float& right, float& top, float& bottom) const;
    void TransformRect(CKW_RTemplate<float>& rect) const;
    void TransformRect(CKW_RTemplate<int32_t>& rect) const;
    void TransformRect(KW_RECT& rect) const;
    void TransformRoundRect(CKW_RRTemplate<float>& rect) const;
    void TransformRoundRect(CKW_RRTemplate<int32_t>& rect) const;
    void TransformParallelogram(CKW_PRLTemplate<float>& p) const;
    void TransformParallelogram(CKW_PRLTemplate<int32_t>& p) const;

    float a, b, c, d, e, f;
};

struct CKW_Vector_3by1 {
    float a, b, c;
};

// Nine floats, row by row.
struct CKW_Matrix_3by3 {
    float a, b, c, d, e, f, g, h, i;

    // Adjugate over determinant; all zeros when the determinant is below 1e-7.
    CKW_Matrix_3by3 Inverse() const;
    CKW_Matrix_3by3 Multiply(const CKW_Matrix_3by3& m) const;
    CKW_Vector_3by1 TransformVector(const CKW_Vector_3by1& v) const;
};

#endif // KW_GEOMETRY_H
