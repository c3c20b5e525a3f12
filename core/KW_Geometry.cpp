#include "KW_Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits.h>

namespace {

// A whole float (from floor or ceil) to 32 bits, saturating as KWSYS_round
// does: NaN gives 0.
int32_t SaturateWhole(float x)
{
    if (x != x)
        return 0;
    if (x <= -2147483648.0f)
        return INT_MIN;
    if (x >= 2147483648.0f)
        return INT_MAX;
    return static_cast<int32_t>(x);
}

float Length(float x, float y)
{
    if (x == 0)
        return std::fabs(y);
    if (y == 0)
        return std::fabs(x);
    // Squaring would overflow to infinity from about 1.8e19 on (and lose
    // everything below 1e-19); hypot does not.
    return std::hypot(x, y);
}

} // namespace

// ---------------------------------------------------------------------------
// KW_RECT

void KW_RECT::Normalize()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

void KW_RECT::Intersect(const KW_RECT& other)
{
    Normalize();
    KW_RECT o = other;
    o.Normalize();
    left = std::max(left, o.left);
    top = std::max(top, o.top);
    right = std::min(right, o.right);
    bottom = std::min(bottom, o.bottom);
    if (left > right || top > bottom)
        left = top = right = bottom = 0;
}

void KW_RECT::Union(const KW_RECT& other)
{
    Normalize();
    KW_RECT o = other;
    o.Normalize();
    left = std::min(left, o.left);
    top = std::min(top, o.top);
    right = std::max(right, o.right);
    bottom = std::max(bottom, o.bottom);
}

bool KW_RECT::Valid() const
{
    const int64_t w = static_cast<int64_t>(right) - left;
    const int64_t h = static_cast<int64_t>(bottom) - top;
    return w >= INT_MIN && w <= INT_MAX && h >= INT_MIN && h <= INT_MAX;
}

// ---------------------------------------------------------------------------
// CKW_FloatRect

CKW_FloatRect::CKW_FloatRect(const KW_RECT& rect)
    : left(static_cast<float>(rect.left))
    , right(static_cast<float>(rect.right))
    , bottom(static_cast<float>(rect.top))
    , top(static_cast<float>(rect.bottom))
{
}

void CKW_FloatRect::Normalize()
{
    if (left > right)
        std::swap(left, right);
    if (bottom > top)
        std::swap(bottom, top);
}

void CKW_FloatRect::Intersect(const CKW_FloatRect& other)
{
    Normalize();
    CKW_FloatRect o = other;
    o.Normalize();
    left = std::max(left, o.left);
    bottom = std::max(bottom, o.bottom);
    right = std::min(right, o.right);
    top = std::min(top, o.top);
    if (left > right || bottom > top)
        left = right = bottom = top = 0;
}

void CKW_FloatRect::Union(const CKW_FloatRect& other)
{
    Normalize();
    CKW_FloatRect o = other;
    o.Normalize();
    left = std::min(left, o.left);
    bottom = std::min(bottom, o.bottom);
    right = std::max(right, o.right);
    top = std::max(top, o.top);
}

bool CKW_FloatRect::Contains(const CKW_FloatRect& other) const
{
    CKW_FloatRect n1 = *this, n2 = other;
    n1.Normalize();
    n2.Normalize();
    return n2.left >= n1.left && n2.right <= n1.right && n2.bottom >= n1.bottom && n2.top <= n1.top;
}

bool CKW_FloatRect::Contains(float x, float y) const
{
    return x >= left && x <= right && y >= bottom && y <= top;
}

void CKW_FloatRect::UpdateRect(float x, float y)
{
    left = std::min(left, x);
    right = std::max(right, x);
    bottom = std::min(bottom, y);
    top = std::max(top, y);
}

void CKW_FloatRect::GetBBox(const CKW_PSVTemplate<float>* points, int count)
{
    if (!points || count <= 0) {
        left = right = bottom = top = 0;
        return;
    }
    left = right = points[0].x;
    bottom = top = points[0].y;
    for (int i = 1; i < count; ++i)
        UpdateRect(points[i].x, points[i].y);
}

void CKW_FloatRect::Transform(const CKW_Matrix* matrix)
{
    if (matrix)
        matrix->TransformRect(left, right, top, bottom);
}

KW_RECT CKW_FloatRect::GetOutterRect() const
{
    KW_RECT r;
    r.left = SaturateWhole(std::floor(left));
    r.right = SaturateWhole(std::ceil(right));
    r.top = SaturateWhole(std::floor(bottom));
    r.bottom = SaturateWhole(std::ceil(top));
    r.Normalize();
    return r;
}

KW_RECT CKW_FloatRect::GetInnerRect() const
{
    KW_RECT r;
    r.left = SaturateWhole(std::ceil(left));
    r.right = SaturateWhole(std::floor(right));
    r.top = SaturateWhole(std::ceil(bottom));
    r.bottom = SaturateWhole(std::floor(top));
    r.Normalize();
    return r;
}

namespace {

// The whole edge (floor or ceil of low) that keeps an extent of whole size
// `size` closest to [low, high]; a tie takes the floor.
double ClosestStart(float low, float high, double size)
{
    const double down = std::floor(low), up = std::ceil(low);
    const double costDown = std::fabs(high - down - size) + std::fabs(low - down);
    const double costUp = std::fabs(high - up - size) + std::fabs(low - up);
    return costUp < costDown ? up : down;
}

// A whole double to 32 bits, saturating; NaN gives 0.
int32_t SaturateWholeDouble(double x)
{
    if (x != x)
        return 0;
    return x <= -2147483648.0 ? INT_MIN : x >= 2147483647.0 ? INT_MAX : static_cast<int32_t>(x);
}

} // namespace

KW_RECT CKW_FloatRect::GetClosestRect() const
{
    // Sizes and edges stay in double until the end, so that a clamped size
    // cannot pull the far edge back across the near one.
    const double w = std::ceil(static_cast<double>(right) - left);
    const double h = std::ceil(static_cast<double>(top) - bottom);
    const double l = ClosestStart(left, right, w);
    const double b = ClosestStart(bottom, top, h);
    const int32_t l1 = SaturateWholeDouble(l), r1 = SaturateWholeDouble(l + w);
    const int32_t b1 = SaturateWholeDouble(b), t1 = SaturateWholeDouble(b + h);
    KW_RECT rect;
    rect.left = std::min(l1, r1);
    rect.right = std::max(l1, r1);
    rect.top = std::min(b1, t1);
    rect.bottom = std::max(b1, t1);
    return rect;
}

int CKW_FloatRect::Substract4(const CKW_FloatRect& other, CKW_FloatRect* out) const
{
    CKW_FloatRect self = *this, s = other;
    self.Normalize();
    s.Normalize();
    CKW_FloatRect pieces[4];
    int n = 0;
    if (s.left > self.left)
        pieces[n++] = CKW_FloatRect(self.left, s.left, self.bottom, self.top);
    if (self.right > s.left && self.top > s.top)
        pieces[n++] = CKW_FloatRect(s.left, self.right, s.top, self.top);
    if (s.top > self.bottom && self.right > s.right) {
        pieces[n++] = CKW_FloatRect(s.right, self.right, self.bottom, s.top);
        if (s.bottom > self.bottom)
            pieces[n++] = CKW_FloatRect(s.left, s.right, self.bottom, s.bottom);
    } else if (s.bottom > self.bottom) {
        pieces[n++] = CKW_FloatRect(s.left, s.right, self.bottom, s.bottom);
    }
    for (int i = 0; i < n; ++i) {
        pieces[i].Intersect(self);
        if (out)
            out[i] = pieces[i];
    }
    return n;
}

bool GetIntersection(float low1, float high1, float low2, float high2, float& low, float& high)
{
    if (low2 >= high1 || low1 >= high2)
        return false;
    low = std::max(low1, low2);
    high = std::min(high1, high2);
    return true;
}

bool KW_IsRectAdjacent(const CKW_FloatRect& r1, const CKW_FloatRect& r2, float alignTolerance,
                       float distanceTolerance, int direction)
{
    if (!(r1.left < r1.right && r1.bottom < r1.top && r2.left < r2.right && r2.bottom < r2.top))
        return false;
    if (!(alignTolerance >= 0 && distanceTolerance >= 0) || (direction != 0 && direction != 1))
        return false;
    if (r1.Contains(r2) || r2.Contains(r1))
        return true;

    // The aligned axis, then the axis along which they follow each other.
    const bool horizontal = direction == 1;
    const float a1 = horizontal ? r1.left : r1.bottom, b1 = horizontal ? r1.right : r1.top;
    const float a2 = horizontal ? r2.left : r2.bottom, b2 = horizontal ? r2.right : r2.top;
    if (std::fabs((a1 + b1) / 2 - (a2 + b2) / 2) > alignTolerance)
        return false;
    if (std::fabs((b1 - a1) - (b2 - a2)) > 2 * alignTolerance)
        return false;

    const float s1 = horizontal ? r1.bottom : r1.left, e1 = horizontal ? r1.top : r1.right;
    const float s2 = horizontal ? r2.bottom : r2.left, e2 = horizontal ? r2.top : r2.right;
    if (s1 <= e2 && s2 <= e1)
        return true;
    const float gap = s1 < s2 ? s2 - e1 : s1 - e2;
    return gap <= distanceTolerance;
}

// ---------------------------------------------------------------------------
// CKW_Matrix

void CKW_Matrix::Set(float a1, float b1, float c1, float d1, float e1, float f1)
{
    a = a1;
    b = b1;
    c = c1;
    d = d1;
    e = e1;
    f = f1;
}

void CKW_Matrix::Set(const float v[6])
{
    Set(v[0], v[1], v[2], v[3], v[4], v[5]);
}

void CKW_Matrix::Concat(const CKW_Matrix& other, bool prepend)
{
    // Copies: the matrix may be concatenated with itself.
    const CKW_Matrix m = other, self = *this;
    const CKW_Matrix& p = prepend ? m : self;   // applied to a point first
    const CKW_Matrix& q = prepend ? self : m;   // then this one
    Set(p.a * q.a + p.b * q.c, p.a * q.b + p.b * q.d, p.c * q.a + p.d * q.c, p.c * q.b + p.d * q.d,
        p.e * q.a + p.f * q.c + q.e, p.e * q.b + p.f * q.d + q.f);
}

void CKW_Matrix::Concat(float a1, float b1, float c1, float d1, float e1, float f1, bool prepend)
{
    Concat(CKW_Matrix(a1, b1, c1, d1, e1, f1), prepend);
}

void CKW_Matrix::SetReverse(const CKW_Matrix& other)
{
    const CKW_Matrix m = other;
    const float det = m.a * m.d - m.b * m.c;
    if (det == 0)
        return;
    Set(m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.f - m.d * m.e) / det,
        -(m.a * m.f - m.b * m.e) / det);
}

void CKW_Matrix::ConcatInverse(const CKW_Matrix& m, bool prepend)
{
    CKW_Matrix inverse;
    inverse.SetReverse(m);
    Concat(inverse, prepend);
}

bool CKW_Matrix::IsInvertible() const
{
    return std::fabs(a * d - b * c) >= 0.0001f;
}

bool CKW_Matrix::Is90Rotated() const
{
    return std::fabs(b) > std::fabs(1000 * a) && std::fabs(c) > std::fabs(1000 * d);
}

bool CKW_Matrix::IsScaled() const
{
    return std::fabs(a) > std::fabs(1000 * b) && std::fabs(d) > std::fabs(1000 * c);
}

void CKW_Matrix::Translate(float x, float y, bool prepend)
{
    if (prepend) {
        e += a * x + c * y;
        f += b * x + d * y;
    } else {
        e += x;
        f += y;
    }
}

void CKW_Matrix::Scale(float sx, float sy, bool prepend)
{
    a *= sx;
    d *= sy;
    if (prepend) {
        b *= sx;
        c *= sy;
    } else {
        b *= sy;
        c *= sx;
        e *= sx;
        f *= sy;
    }
}

void CKW_Matrix::Rotate(float radians, bool prepend)
{
    const float cosine = std::cos(radians), sine = std::sin(radians);
    Concat(CKW_Matrix(cosine, sine, -sine, cosine, 0, 0), prepend);
}

void CKW_Matrix::RotateAt(float radians, float x, float y, bool prepend)
{
    // The centre moves to the origin first, whichever side the turn is added on.
    if (prepend) {
        Translate(x, y, true);
        Rotate(radians, true);
        Translate(-x, -y, true);
    } else {
        Translate(-x, -y, false);
        Rotate(radians, false);
        Translate(x, y, false);
    }
}

void CKW_Matrix::Shear(float alpha, float beta, bool prepend)
{
    Concat(CKW_Matrix(1, std::tan(alpha), std::tan(beta), 1, 0, 0), prepend);
}

void CKW_Matrix::MatchRect(const CKW_FloatRect& dest, const CKW_FloatRect& src)
{
    const float sw = src.left - src.right, sh = src.bottom - src.top;
    a = std::fabs(sw) < 0.001f ? 1 : (dest.left - dest.right) / sw;
    d = std::fabs(sh) < 0.001f ? 1 : (dest.bottom - dest.top) / sh;
    b = c = 0;
    e = dest.left - src.left * a;
    f = dest.bottom - src.bottom * d;
}

float CKW_Matrix::GetXUnit() const
{
    return Length(a, b);
}

float CKW_Matrix::GetYUnit() const
{
    return Length(c, d);
}

float CKW_Matrix::GetUnitArea() const
{
    return std::fabs(a * d - b * c);
}

CKW_FloatRect CKW_Matrix::GetUnitRect() const
{
    CKW_FloatRect rect(0, 1, 0, 1);
    rect.Transform(this);
    return rect;
}

void CKW_Matrix::GetUnitRect(CKW_RTemplate<float>& rect) const
{
    const CKW_FloatRect r = GetUnitRect();
    rect.x = r.left;
    rect.y = r.bottom;
    rect.width = r.right - r.left;
    rect.height = r.top - r.bottom;
}

void CKW_Matrix::GetUnitParallelogram(CKW_PRLTemplate<float>& p) const
{
    p.x = e;
    p.y = f;
    p.x1 = a;
    p.y1 = b;
    p.x2 = c;
    p.y2 = d;
}

void CKW_Matrix::TransformPoint(float& x, float& y) const
{
    const float nx = a * x + c * y + e;
    const float ny = b * x + d * y + f;
    x = nx;
    y = ny;
}

void CKW_Matrix::TransformPoint(int32_t& x, int32_t& y) const
{
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    TransformPoint(fx, fy);
    x = KWSYS_round(fx);
    y = KWSYS_round(fy);
}

void CKW_Matrix::TransformPoints(CKW_PSVTemplate<float>* points, int count) const
{
    for (int i = 0; points && i < count; ++i)
        TransformPoint(points[i].x, points[i].y);
}

void CKW_Matrix::TransformPoints(CKW_PSVTemplate<int32_t>* points, int count) const
{
    for (int i = 0; points && i < count; ++i)
        TransformPoint(points[i].x, points[i].y);
}

void CKW_Matrix::TransformVector(CKW_VTemplate<float>& v) const
{
    const float nx = a * v.x + c * v.y;
    const float ny = b * v.x + d * v.y;
    v.x = nx;
    v.y = ny;
}

void CKW_Matrix::TransformVector(CKW_VTemplate<int32_t>& v) const
{
    CKW_VTemplate<float> fv = {static_cast<float>(v.x), static_cast<float>(v.y)};
    TransformVector(fv);
    v.x = KWSYS_round(fv.x);
    v.y = KWSYS_round(fv.y);
}

float CKW_Matrix::TransformXDistance(float dx) const
{
    return Length(a * dx, b * dx);
}

int32_t CKW_Matrix::TransformXDistance(int32_t dx) const
{
    return KWSYS_round(TransformXDistance(static_cast<float>(dx)));
}

float CKW_Matrix::TransformYDistance(float dy) const
{
    return Length(c * dy, d * dy);
}

int32_t CKW_Matrix::TransformYDistance(int32_t dy) const
{
    return KWSYS_round(TransformYDistance(static_cast<float>(dy)));
}

float CKW_Matrix::TransformDistance(float dx, float dy) const
{
    return Length(a * dx + c * dy, b * dx + d * dy);
}

int32_t CKW_Matrix::TransformDistance(int32_t dx, int32_t dy) const
{
    return KWSYS_round(TransformDistance(static_cast<float>(dx), static_cast<float>(dy)));
}

float CKW_Matrix::TransformDistance(float distance) const
{
    return (GetXUnit() + GetYUnit()) * distance * 0.5f;
}

void CKW_Matrix::TransformRect(float& left, float& right, float& top, float& bottom) const
{
    float xs[4] = {left, left, right, right};
    float ys[4] = {top, bottom, top, bottom};
    for (int i = 0; i < 4; ++i)
        TransformPoint(xs[i], ys[i]);
    left = *std::min_element(xs, xs + 4);
    right = *std::max_element(xs, xs + 4);
    bottom = *std::min_element(ys, ys + 4);
    top = *std::max_element(ys, ys + 4);
}

void CKW_Matrix::TransformRect(CKW_RTemplate<float>& rect) const
{
    float left = rect.x, right = rect.x + rect.width, bottom = rect.y, top = rect.y + rect.height;
    TransformRect(left, right, top, bottom);
    rect.x = left;
    rect.y = bottom;
    rect.width = right - left;
    rect.height = top - bottom;
}

void CKW_Matrix::TransformRect(CKW_RTemplate<int32_t>& rect) const
{
    CKW_RTemplate<float> r = {static_cast<float>(rect.x), static_cast<float>(rect.y),
                              static_cast<float>(rect.width), static_cast<float>(rect.height)};
    TransformRect(r);
    rect.x = KWSYS_round(r.x);
    rect.y = KWSYS_round(r.y);
    rect.width = KWSYS_round(r.width);
    rect.height = KWSYS_round(r.height);
}

void CKW_Matrix::TransformRect(KW_RECT& rect) const
{
    float left = static_cast<float>(rect.left), right = static_cast<float>(rect.right);
    float top = static_cast<float>(rect.top), bottom = static_cast<float>(rect.bottom);
    TransformRect(left, right, top, bottom);
    rect.left = KWSYS_round(left);
    rect.right = KWSYS_round(right);
    rect.top = KWSYS_round(top);
    rect.bottom = KWSYS_round(bottom);
}

void CKW_Matrix::TransformRoundRect(CKW_RRTemplate<float>& rect) const
{
    CKW_RTemplate<float> r = {rect.x, rect.y, rect.width, rect.height};
    TransformRect(r);
    rect.x = r.x;
    rect.y = r.y;
    rect.width = r.width;
    rect.height = r.height;
    rect.xRadius = TransformXDistance(rect.xRadius);
    rect.yRadius = TransformYDistance(rect.yRadius);
}

void CKW_Matrix::TransformRoundRect(CKW_RRTemplate<int32_t>& rect) const
{
    CKW_RRTemplate<float> r = {static_cast<float>(rect.x),     static_cast<float>(rect.y),
                               static_cast<float>(rect.width), static_cast<float>(rect.height),
                               static_cast<float>(rect.xRadius), static_cast<float>(rect.yRadius)};
    TransformRoundRect(r);
    rect.x = KWSYS_round(r.x);
    rect.y = KWSYS_round(r.y);
    rect.width = KWSYS_round(r.width);
    rect.height = KWSYS_round(r.height);
    rect.xRadius = KWSYS_round(r.xRadius);
    rect.yRadius = KWSYS_round(r.yRadius);
}

void CKW_Matrix::TransformParallelogram(CKW_PRLTemplate<float>& p) const
{
    TransformPoint(p.x, p.y);
    CKW_VTemplate<float> first = {p.x1, p.y1}, second = {p.x2, p.y2};
    TransformVector(first);
    TransformVector(second);
    p.x1 = first.x;
    p.y1 = first.y;
    p.x2 = second.x;
    p.y2 = second.y;
}

void CKW_Matrix::TransformParallelogram(CKW_PRLTemplate<int32_t>& p) const
{
    CKW_PRLTemplate<float> q = {static_cast<float>(p.x),  static_cast<float>(p.y),  static_cast<float>(p.x1),
                                static_cast<float>(p.y1), static_cast<float>(p.x2), static_cast<float>(p.y2)};
    TransformParallelogram(q);
    p.x = KWSYS_round(q.x);
    p.y = KWSYS_round(q.y);
    p.x1 = KWSYS_round(q.x1);
    p.y1 = KWSYS_round(q.y1);
    p.x2 = KWSYS_round(q.x2);
    p.y2 = KWSYS_round(q.y2);
}

// ---------------------------------------------------------------------------
// CKW_Matrix_3by3

CKW_Matrix_3by3 CKW_Matrix_3by3::Inverse() const
{
    const double det = static_cast<double>(a) * (e * i - f * h) - static_cast<double>(b) * (d * i - f * g)
                       + static_cast<double>(c) * (d * h - e * g);
    CKW_Matrix_3by3 r = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (std::fabs(det) < 1e-7)
        return r;
    const float k = static_cast<float>(1.0 / det);
    r.a = (e * i - f * h) * k;
    r.b = (c * h - b * i) * k;
    r.c = (b * f - c * e) * k;
    r.d = (f * g - d * i) * k;
    r.e = (a * i - c * g) * k;
    r.f = (c * d - a * f) * k;
    r.g = (d * h - e * g) * k;
    r.h = (b * g - a * h) * k;
    r.i = (a * e - b * d) * k;
    return r;
}

CKW_Matrix_3by3 CKW_Matrix_3by3::Multiply(const CKW_Matrix_3by3& m) const
{
    CKW_Matrix_3by3 r;
    r.a = a * m.a + b * m.d + c * m.g;
    r.b = a * m.b + b * m.e + c * m.h;
    r.c = a * m.c + b * m.f + c * m.i;
    r.d = d * m.a + e * m.d + f * m.g;
    r.e = d * m.b + e * m.e + f * m.h;
    r.f = d * m.c + e * m.f + f * m.i;
    r.g = g * m.a + h * m.d + i * m.g;
    r.h = g * m.b + h * m.e + i * m.h;
    r.i = g * m.c + h * m.f + i * m.i;
    return r;
}

CKW_Vector_3by1 CKW_Matrix_3by3::TransformVector(const CKW_Vector_3by1& v) const
{
    CKW_Vector_3by1 r;
    r.a = a * v.a + b * v.b + c * v.c;
    r.b = d * v.a + e * v.b + f * v.c;
    r.c = g * v.a + h * v.b + i * v.c;
    return r;
}
