#include "toolkit/SFRect.h"

#include <utility>

namespace {

// Coordinates wrap like the 32-bit registers they came from instead of overflowing.
int32_t Wrap(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}
int32_t Add(int32_t a, int32_t b) {
    return Wrap(int64_t{a} + b);
}
int32_t Sub(int32_t a, int32_t b) {
    return Wrap(int64_t{a} - b);
}
int32_t Low16(unsigned long v) {
    return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFFu));
}
int32_t High16(unsigned long v) {
    return static_cast<int16_t>(static_cast<uint16_t>((v >> 16) & 0xFFFFu));
}

bool Empty(const tagRECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

int32_t SFMulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    int64_t num = int64_t{a} * b;
    int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t q = num >= 0 ? (num + den / 2) / den : (num - den / 2) / den;
    if (q > 2147483647LL || q < -2147483647LL) {
        return -1;
    }
    return static_cast<int32_t>(q);
}

// ---- CSFPoint

CSFPoint::CSFPoint(long packed)
    : tagPOINT{Low16(static_cast<unsigned long>(packed)),
               High16(static_cast<unsigned long>(packed))} {}

void CSFPoint::Offset(int32_t dx, int32_t dy) {
    x = Add(x, dx);
    y = Add(y, dy);
}
CSFPoint& CSFPoint::operator+=(const tagSIZE& s) {
    Offset(s.cx, s.cy);
    return *this;
}
CSFPoint& CSFPoint::operator-=(const tagSIZE& s) {
    Offset(Sub(0, s.cx), Sub(0, s.cy));
    return *this;
}
CSFPoint& CSFPoint::operator+=(const tagPOINT& p) {
    Offset(p.x, p.y);
    return *this;
}
CSFPoint& CSFPoint::operator-=(const tagPOINT& p) {
    Offset(Sub(0, p.x), Sub(0, p.y));
    return *this;
}
CSFPoint CSFPoint::operator+(const tagSIZE& s) const {
    return {Add(x, s.cx), Add(y, s.cy)};
}
CSFPoint CSFPoint::operator-(const tagSIZE& s) const {
    return {Sub(x, s.cx), Sub(y, s.cy)};
}
CSFPoint CSFPoint::operator-() const {
    return {Sub(0, x), Sub(0, y)};
}
CSFPoint CSFPoint::operator+(const tagPOINT& p) const {
    return {Add(x, p.x), Add(y, p.y)};
}
CSFSize CSFPoint::operator-(const tagPOINT& p) const {
    return {Sub(x, p.x), Sub(y, p.y)};
}
CSFRect CSFPoint::operator+(const tagRECT& r) const {
    CSFRect out(r);
    out.OffsetRect(x, y);
    return out;
}
CSFRect CSFPoint::operator-(const tagRECT& r) const {
    CSFRect out(r);
    out.OffsetRect(Sub(0, x), Sub(0, y));
    return out;
}

// ---- CSFSize

CSFSize::CSFSize(unsigned long packed) : tagSIZE{Low16(packed), High16(packed)} {}

CSFSize& CSFSize::operator+=(const tagSIZE& s) {
    cx = Add(cx, s.cx);
    cy = Add(cy, s.cy);
    return *this;
}
CSFSize& CSFSize::operator-=(const tagSIZE& s) {
    cx = Sub(cx, s.cx);
    cy = Sub(cy, s.cy);
    return *this;
}
CSFSize CSFSize::operator+(const tagSIZE& s) const {
    return {Add(cx, s.cx), Add(cy, s.cy)};
}
CSFSize CSFSize::operator-(const tagSIZE& s) const {
    return {Sub(cx, s.cx), Sub(cy, s.cy)};
}
CSFSize CSFSize::operator-() const {
    return {Sub(0, cx), Sub(0, cy)};
}
CSFPoint CSFSize::operator+(const tagPOINT& p) const {
    return {Add(p.x, cx), Add(p.y, cy)};
}
CSFPoint CSFSize::operator-(const tagPOINT& p) const {
    return {Sub(p.x, cx), Sub(p.y, cy)};
}
CSFRect CSFSize::operator+(const tagRECT& r) const {
    CSFRect out(r);
    out.OffsetRect(cx, cy);
    return out;
}
CSFRect CSFSize::operator-(const tagRECT& r) const {
    CSFRect out(r);
    out.OffsetRect(Sub(0, cx), Sub(0, cy));
    return out;
}

// ---- CSFRect

CSFRect::CSFRect(const tagRECT* r) : tagRECT(r != nullptr ? *r : tagRECT{0, 0, 0, 0}) {}
CSFRect::CSFRect(const tagPOINT& topLeft, const tagPOINT& bottomRight)
    : tagRECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}
CSFRect::CSFRect(const tagPOINT& topLeft, const tagSIZE& size)
    : tagRECT{topLeft.x, topLeft.y, Add(topLeft.x, size.cx), Add(topLeft.y, size.cy)} {}

int32_t CSFRect::Width() const {
    return Sub(right, left);
}
int32_t CSFRect::Height() const {
    return Sub(bottom, top);
}

CSFPoint CSFRect::CenterPoint() const {
    return {Wrap((int64_t{left} + right) / 2), Wrap((int64_t{top} + bottom) / 2)};
}

void CSFRect::SwapLeftRight(tagRECT* r) {
    if (r != nullptr) {
        std::swap(r->left, r->right);
    }
}

void CSFRect::SetRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
}
void CSFRect::SetRect(const tagPOINT& topLeft, const tagPOINT& bottomRight) {
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}
void CSFRect::CopyRect(const tagRECT* src) {
    if (src != nullptr) {
        *static_cast<tagRECT*>(this) = *src;
    }
}
bool CSFRect::EqualRect(const tagRECT* r) const {
    return r != nullptr && left == r->left && top == r->top && right == r->right &&
           bottom == r->bottom;
}

void CSFRect::InflateRect(int32_t dx, int32_t dy) {
    InflateRect(dx, dy, dx, dy);
}
void CSFRect::InflateRect(const tagRECT* sides) {
    if (sides != nullptr) {
        InflateRect(sides->left, sides->top, sides->right, sides->bottom);
    }
}
void CSFRect::InflateRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    left = Sub(left, l);
    top = Sub(top, t);
    right = Add(right, r);
    bottom = Add(bottom, b);
}
void CSFRect::DeflateRect(int32_t dx, int32_t dy) {
    DeflateRect(dx, dy, dx, dy);
}
void CSFRect::DeflateRect(const tagRECT* sides) {
    if (sides != nullptr) {
        DeflateRect(sides->left, sides->top, sides->right, sides->bottom);
    }
}
void CSFRect::DeflateRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    left = Add(left, l);
    top = Add(top, t);
    right = Sub(right, r);
    bottom = Sub(bottom, b);
}

void CSFRect::NormalizeRect() {
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
}

void CSFRect::OffsetRect(int32_t dx, int32_t dy) {
    left = Add(left, dx);
    right = Add(right, dx);
    top = Add(top, dy);
    bottom = Add(bottom, dy);
}
void CSFRect::MoveToX(int32_t x) {
    right = Add(Width(), x);
    left = x;
}
void CSFRect::MoveToY(int32_t y) {
    bottom = Add(Height(), y);
    top = y;
}
void CSFRect::MoveToXY(int32_t x, int32_t y) {
    MoveToX(x);
    MoveToY(y);
}

bool CSFRect::IntersectRect(const tagRECT* a, const tagRECT* b) {
    if (a == nullptr || b == nullptr || Empty(*a) || Empty(*b) || a->left >= b->right ||
        b->left >= a->right || a->top >= b->bottom || b->top >= a->bottom) {
        SetRectEmpty();
        return false;
    }
    const tagRECT ra = *a;
    const tagRECT rb = *b;
    SetRect(ra.left > rb.left ? ra.left : rb.left, ra.top > rb.top ? ra.top : rb.top,
            ra.right < rb.right ? ra.right : rb.right,
            ra.bottom < rb.bottom ? ra.bottom : rb.bottom);
    return true;
}

bool CSFRect::UnionRect(const tagRECT* a, const tagRECT* b) {
    const bool aEmpty = a == nullptr || Empty(*a);
    const bool bEmpty = b == nullptr || Empty(*b);
    if (aEmpty && bEmpty) {
        SetRectEmpty();
        return false;
    }
    if (aEmpty) {
        CopyRect(b);
    } else if (bEmpty) {
        CopyRect(a);
    } else {
        const tagRECT ra = *a;
        const tagRECT rb = *b;
        SetRect(ra.left < rb.left ? ra.left : rb.left, ra.top < rb.top ? ra.top : rb.top,
                ra.right > rb.right ? ra.right : rb.right,
                ra.bottom > rb.bottom ? ra.bottom : rb.bottom);
    }
    return true;
}

bool CSFRect::SubtractRect(const tagRECT* from, const tagRECT* remove) {
    if (from == nullptr || Empty(*from)) {
        SetRectEmpty();
        return false;
    }
    const tagRECT src = *from;
    CSFRect common;
    const bool overlap = common.IntersectRect(&src, remove);
    *static_cast<tagRECT*>(this) = src;
    if (!overlap) {
        return true;
    }
    if (common.EqualRect(this)) {
        SetRectEmpty();
        return false;
    }
    // Only a band that spans the whole width or height can be cut away; anything else would
    // leave a non-rectangular remainder, so the source stays whole.
    if (common.top == top && common.bottom == bottom) {
        if (common.left == left) {
            left = common.right;
        } else if (common.right == right) {
            right = common.left;
        }
    } else if (common.left == left && common.right == right) {
        if (common.top == top) {
            top = common.bottom;
        } else if (common.bottom == bottom) {
            bottom = common.top;
        }
    }
    return true;
}

void CSFRect::MulDiv(int32_t num, int32_t den) {
    left = SFMulDiv(left, num, den);
    top = SFMulDiv(top, num, den);
    right = SFMulDiv(right, num, den);
    bottom = SFMulDiv(bottom, num, den);
}

CSFRect& CSFRect::operator=(const tagRECT& r) {
    *static_cast<tagRECT*>(this) = r;
    return *this;
}
CSFRect& CSFRect::operator+=(const tagPOINT& p) {
    OffsetRect(p.x, p.y);
    return *this;
}
CSFRect& CSFRect::operator+=(const tagSIZE& s) {
    OffsetRect(s.cx, s.cy);
    return *this;
}
CSFRect& CSFRect::operator+=(const tagRECT* sides) {
    InflateRect(sides);
    return *this;
}
CSFRect& CSFRect::operator-=(const tagPOINT& p) {
    OffsetRect(Sub(0, p.x), Sub(0, p.y));
    return *this;
}
CSFRect& CSFRect::operator-=(const tagSIZE& s) {
    OffsetRect(Sub(0, s.cx), Sub(0, s.cy));
    return *this;
}
CSFRect& CSFRect::operator-=(const tagRECT* sides) {
    DeflateRect(sides);
    return *this;
}
CSFRect& CSFRect::operator&=(const tagRECT& r) {
    const tagRECT self = *this;
    IntersectRect(&self, &r);
    return *this;
}
CSFRect& CSFRect::operator|=(const tagRECT& r) {
    const tagRECT self = *this;
    UnionRect(&self, &r);
    return *this;
}
CSFRect CSFRect::operator+(const tagPOINT& p) const {
    return CSFRect(*this) += p;
}
CSFRect CSFRect::operator-(const tagPOINT& p) const {
    return CSFRect(*this) -= p;
}
CSFRect CSFRect::operator+(const tagSIZE& s) const {
    return CSFRect(*this) += s;
}
CSFRect CSFRect::operator-(const tagSIZE& s) const {
    return CSFRect(*this) -= s;
}
CSFRect CSFRect::operator+(const tagRECT* sides) const {
    return CSFRect(*this) += sides;
}
CSFRect CSFRect::operator-(const tagRECT* sides) const {
    return CSFRect(*this) -= sides;
}
CSFRect CSFRect::operator&(const tagRECT& r) const {
    return CSFRect(*this) &= r;
}
CSFRect CSFRect::operator|(const tagRECT& r) const {
    return CSFRect(*this) |= r;
}
