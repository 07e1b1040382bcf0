#include "controls/CtrlMessages.h"

int VirtualKeyFromQt(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x30 + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 0x41 + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Period: return 0xBE;   // VK_OEM_PERIOD
    case Qt::Key_Minus: return 0xBD;    // VK_OEM_MINUS
    case Qt::Key_Plus: return 0xBB;     // VK_OEM_PLUS
    case Qt::Key_Comma: return 0xBC;    // VK_OEM_COMMA
    default: return 0;
    }
}

unsigned MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    unsigned f = 0;
    if (buttons & Qt::LeftButton) f |= 0x0001;
    if (buttons & Qt::RightButton) f |= 0x0002;
    if (mods & Qt::ShiftModifier) f |= 0x0004;
    if (mods & Qt::ControlModifier) f |= 0x0008;
    if (buttons & Qt::MiddleButton) f |= 0x0010;
    return f;
}
