#include "Main/MsgDlg.h"

int ShowMessageBox(const wchar_t* /*text*/, const wchar_t* /*title*/, void* /*owner*/, int /*mode*/,
                   int /*reserved1*/, int /*reserved2*/) {
    return 1;
}
