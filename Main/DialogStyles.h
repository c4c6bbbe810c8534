#pragma once
// The skin record the program's dialogs share: a blue title band cut from "bg_toolbar.png"
// around the tiled "bg_calendar.png" background, a white left-aligned Tahoma title in the band.
// The dialogs differ only in the twelve pieces of the frame image (the band's height and the
// bottom edge); each passes its own and may set the fields it adds.
#include <array>

#include "toolkit/SFControls.h"
#include "toolkit/SFSkin.h"

// Frame pieces in record order: top left, top, top right, three left edges, bottom left,
// bottom, bottom right, three right edges ("x,y,width,height" in the frame image).
using DialogPieces = std::array<const wchar_t*, 12>;

// A 35-pixel band and a 1-pixel bottom edge: the message box, model selection and about dialogs.
inline constexpr DialogPieces kBand35Pieces = {
    L"0,0,10,35", L"30,0,1,35",  L"76,0,10,35", L"0,37,1,30",  L"0,37,1,30",  L"0,37,1,30",
    L"0,84,10,1", L"10,84,30,1", L"85,84,1,1",  L"85,37,1,30", L"85,37,1,30", L"85,37,1,30"};

// The shared record with these pieces; the top left piece tiles, the top piece stretches.
DialogStyle SkinnedDialogStyle(const DialogPieces& pieces);

// An image button's faces (skin image names); an empty name leaves that face to the button.
ImageButtonStyle ButtonFaces(const wchar_t* normal, const wchar_t* hover,
                             const wchar_t* pressed = L"", const wchar_t* disabled = L"");

// A dialog's close button: created in parent with the id (visible unless style says otherwise),
// given its faces and the "Close" tool tip of the current language. Null when it could not be made.
CSFButton* CreateCloseButton(ISFButtonEvent* sink, void* parent, uint32_t id,
                             const ImageButtonStyle& faces, uint32_t style = SF_WS_VISIBLE,
                             const tagRECT* rect = nullptr);
