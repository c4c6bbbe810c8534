#pragma once
// Walls as the command line and a batch file state them: option texts checked and turned into
// WallRequest values, one grammar for both. Numbers are read in the C locale whatever the
// process locale is.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "quote/QuoteEngine.h"

// The options that describe a wall: command-line options (with "--") and batch columns alike.
//   wall       WIDTHxHEIGHT, both > 0           lampstand  a number >= 0
//   unit       m or ft                          model      a model name
//   model-row  a catalogue row, from 0          layout     COLSxROWS, both whole and >= 1
//   fit, portrait: flags; on the command line by their presence, in a batch cell 1/yes/true or
//   0/no/false (an empty cell gives nothing).
inline constexpr std::array<std::wstring_view, 8> kWallOptions = {
    L"wall", L"lampstand", L"unit", L"model", L"model-row", L"fit", L"layout", L"portrait"};

struct OptionValue {
    std::wstring name;  // one of kWallOptions
    std::wstring value;
};

// Applies the options in order; a later one replaces what an earlier one set (so a batch line
// overrides the command line's defaults, and "layout" there replaces a default "fit"). One call
// must not name both fit (set) and layout, nor both model and model-row: a usage error, as is a
// malformed value. `request` is unchanged after an error.
QuoteError ApplyOptions(WallRequest& request, const std::vector<OptionValue>& options);

// A usage error unless the request says how to lay the wall out (fit or a layout).
QuoteError CheckLayoutGiven(const WallRequest& request);

// The request as options ("--wall 6x2 --model-row 0 --fit"), naming the input in messages; only
// what was given.
std::wstring DescribeRequest(const WallRequest& request);

// One wall of a batch file.
struct BatchWall {
    int line = 0;  // 1-based line number in the file
    WallRequest request;
};

// A batch file: a header line naming the columns (kWallOptions, in any order and any subset),
// then one wall per line, fields separated by commas (blanks around a field and one pair of
// double quotes around it are dropped). Blank lines are skipped. Each wall starts from
// `defaults`. Every line is checked before anything is returned; the first fault is reported
// with "FILE:LINE: " before its message, and `out` is then left empty.
QuoteError ReadBatch(std::string_view bytes, const std::wstring& fileName,
                     const WallRequest& defaults, std::vector<BatchWall>& out);
