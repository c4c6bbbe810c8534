#pragma once
// Point, size and rectangle values with the memory layout and the arithmetic of the Win32
// records they stand for: 32-bit signed fields, right and bottom exclusive. A pointer to a
// CSFRect may be passed wherever a tagRECT* is expected, and the operations give the results
// the Win32 functions of the same names give (an empty source makes IntersectRect and
// UnionRect/SubtractRect answer with the zero rectangle, MulDiv rounds half away from zero and
// answers -1 on a zero divisor or an overflow, widths wrap instead of overflowing).
#include <cstdint>

struct tagPOINT {
    int32_t x;
    int32_t y;
};

struct tagSIZE {
    int32_t cx;
    int32_t cy;
};

struct tagRECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// (a × b) / c in 64 bits, rounded half away from zero; -1 when c is 0 or the result leaves
// the 32-bit range, as the Win32 MulDiv answers.
int32_t SFMulDiv(int32_t a, int32_t b, int32_t c);

class CSFSize;
class CSFRect;

class CSFPoint : public tagPOINT {
public:
    CSFPoint() : tagPOINT{0, 0} {}
    CSFPoint(int32_t initX, int32_t initY) : tagPOINT{initX, initY} {}
    CSFPoint(const tagPOINT& p) : tagPOINT(p) {}
    CSFPoint(const tagSIZE& s) : tagPOINT{s.cx, s.cy} {}
    // Low 16 bits x, high 16 bits y, each sign-extended (a packed mouse position).
    explicit CSFPoint(long packed);

    void Offset(int32_t dx, int32_t dy);
    void Offset(const tagPOINT& p) { Offset(p.x, p.y); }
    void Offset(const tagSIZE& s) { Offset(s.cx, s.cy); }
    void SetPoint(int32_t newX, int32_t newY) {
        x = newX;
        y = newY;
    }

    bool operator==(const tagPOINT& p) const { return x == p.x && y == p.y; }
    bool operator!=(const tagPOINT& p) const { return !(*this == p); }
    CSFPoint& operator+=(const tagSIZE& s);
    CSFPoint& operator-=(const tagSIZE& s);
    CSFPoint& operator+=(const tagPOINT& p);
    CSFPoint& operator-=(const tagPOINT& p);
    CSFPoint operator+(const tagSIZE& s) const;
    CSFPoint operator-(const tagSIZE& s) const;
    CSFPoint operator-() const;
    CSFPoint operator+(const tagPOINT& p) const;
    CSFSize operator-(const tagPOINT& p) const;
    CSFRect operator+(const tagRECT& r) const;
    CSFRect operator-(const tagRECT& r) const;
};

class CSFSize : public tagSIZE {
public:
    CSFSize() : tagSIZE{0, 0} {}
    CSFSize(int32_t initCx, int32_t initCy) : tagSIZE{initCx, initCy} {}
    CSFSize(const tagSIZE& s) : tagSIZE(s) {}
    CSFSize(const tagPOINT& p) : tagSIZE{p.x, p.y} {}
    // Low 16 bits cx, high 16 bits cy, each sign-extended.
    explicit CSFSize(unsigned long packed);

    void SetSize(int32_t newCx, int32_t newCy) {
        cx = newCx;
        cy = newCy;
    }
    bool operator==(const tagSIZE& s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(const tagSIZE& s) const { return !(*this == s); }
    CSFSize& operator+=(const tagSIZE& s);
    CSFSize& operator-=(const tagSIZE& s);
    CSFSize operator+(const tagSIZE& s) const;
    CSFSize operator-(const tagSIZE& s) const;
    CSFSize operator-() const;
    CSFPoint operator+(const tagPOINT& p) const;
    CSFPoint operator-(const tagPOINT& p) const;
    CSFRect operator+(const tagRECT& r) const;
    CSFRect operator-(const tagRECT& r) const;
};

class CSFRect : public tagRECT {
public:
    CSFRect() : tagRECT{0, 0, 0, 0} {}
    CSFRect(int32_t l, int32_t t, int32_t r, int32_t b) : tagRECT{l, t, r, b} {}
    CSFRect(const tagRECT& r) : tagRECT(r) {}
    // A null pointer gives the zero rectangle.
    explicit CSFRect(const tagRECT* r);
    CSFRect(const tagPOINT& topLeft, const tagPOINT& bottomRight);
    CSFRect(const tagPOINT& topLeft, const tagSIZE& size);

    int32_t Width() const;
    int32_t Height() const;
    CSFSize Size() const { return CSFSize(Width(), Height()); }
    // References into the rectangle: writing through them moves the corner.
    CSFPoint& TopLeft() { return *reinterpret_cast<CSFPoint*>(&left); }
    CSFPoint& BottomRight() { return *reinterpret_cast<CSFPoint*>(&right); }
    const CSFPoint& TopLeft() const { return *reinterpret_cast<const CSFPoint*>(&left); }
    const CSFPoint& BottomRight() const { return *reinterpret_cast<const CSFPoint*>(&right); }
    CSFPoint CenterPoint() const;
    void SwapLeftRight() { SwapLeftRight(this); }
    static void SwapLeftRight(tagRECT* r);

    operator tagRECT*() { return this; }
    operator const tagRECT*() const { return this; }

    // Empty: width or height not positive. Null: all four fields 0.
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(const tagPOINT& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    void SetRect(int32_t l, int32_t t, int32_t r, int32_t b);
    void SetRect(const tagPOINT& topLeft, const tagPOINT& bottomRight);
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const tagRECT* src);
    bool EqualRect(const tagRECT* r) const;

    void InflateRect(int32_t dx, int32_t dy);
    void InflateRect(const tagSIZE& s) { InflateRect(s.cx, s.cy); }
    void InflateRect(const tagRECT* sides);
    void InflateRect(int32_t l, int32_t t, int32_t r, int32_t b);
    void DeflateRect(int32_t dx, int32_t dy);
    void DeflateRect(const tagSIZE& s) { DeflateRect(s.cx, s.cy); }
    void DeflateRect(const tagRECT* sides);
    void DeflateRect(int32_t l, int32_t t, int32_t r, int32_t b);

    void NormalizeRect();
    void OffsetRect(int32_t dx, int32_t dy);
    void OffsetRect(const tagPOINT& p) { OffsetRect(p.x, p.y); }
    void OffsetRect(const tagSIZE& s) { OffsetRect(s.cx, s.cy); }
    void MoveToX(int32_t x);
    void MoveToY(int32_t y);
    void MoveToXY(int32_t x, int32_t y);
    void MoveToXY(const tagPOINT& p) { MoveToXY(p.x, p.y); }

    // Each returns whether the result is non-empty and stores the result in *this.
    bool IntersectRect(const tagRECT* a, const tagRECT* b);
    bool UnionRect(const tagRECT* a, const tagRECT* b);
    bool SubtractRect(const tagRECT* from, const tagRECT* remove);

    void MulDiv(int32_t num, int32_t den);

    bool operator==(const tagRECT& r) const { return EqualRect(&r); }
    bool operator!=(const tagRECT& r) const { return !EqualRect(&r); }
    CSFRect& operator=(const tagRECT& r);
    CSFRect& operator+=(const tagPOINT& p);
    CSFRect& operator+=(const tagSIZE& s);
    CSFRect& operator+=(const tagRECT* sides);
    CSFRect& operator-=(const tagPOINT& p);
    CSFRect& operator-=(const tagSIZE& s);
    CSFRect& operator-=(const tagRECT* sides);
    CSFRect& operator&=(const tagRECT& r);
    CSFRect& operator|=(const tagRECT& r);
    CSFRect operator+(const tagPOINT& p) const;
    CSFRect operator-(const tagPOINT& p) const;
    CSFRect operator+(const tagSIZE& s) const;
    CSFRect operator-(const tagSIZE& s) const;
    CSFRect operator+(const tagRECT* sides) const;
    CSFRect operator-(const tagRECT* sides) const;
    CSFRect operator&(const tagRECT& r) const;
    CSFRect operator|(const tagRECT& r) const;
};

static_assert(sizeof(CSFPoint) == sizeof(tagPOINT) && sizeof(CSFSize) == sizeof(tagSIZE) &&
              sizeof(CSFRect) == sizeof(tagRECT));
