#pragma once

// The system's virtual-key codes: what the hook reports, the key map stores, the keyboard
// state is indexed by and the keyboard port injects. Letters and digits are their upper-case
// ASCII characters ('A', '7') and have no names here.

namespace trelk::Vk {

inline constexpr int LButton = 0x01;
inline constexpr int RButton = 0x02;
inline constexpr int MButton = 0x04;
inline constexpr int XButton1 = 0x05;
inline constexpr int XButton2 = 0x06;
inline constexpr int Back = 0x08; // Backspace
inline constexpr int Tab = 0x09;
inline constexpr int Clear = 0x0C;  // keypad 5 without Num Lock
inline constexpr int Return = 0x0D; // Enter and keypad Enter
inline constexpr int Shift = 0x10;
inline constexpr int Control = 0x11;
inline constexpr int Menu = 0x12; // Alt
inline constexpr int Pause = 0x13;
inline constexpr int Capital = 0x14; // Caps Lock
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int Prior = 0x21; // Page Up
inline constexpr int Next = 0x22;  // Page Down
inline constexpr int End = 0x23;
inline constexpr int Home = 0x24;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
inline constexpr int Snapshot = 0x2C; // Print Screen
inline constexpr int Insert = 0x2D;
inline constexpr int Delete = 0x2E;
inline constexpr int LWin = 0x5B;
inline constexpr int RWin = 0x5C;
inline constexpr int Apps = 0x5D; // the Application (menu) key
inline constexpr int Numpad0 = 0x60;
inline constexpr int Numpad1 = 0x61;
inline constexpr int Numpad2 = 0x62;
inline constexpr int Numpad3 = 0x63;
inline constexpr int Numpad4 = 0x64;
inline constexpr int Numpad5 = 0x65;
inline constexpr int Numpad6 = 0x66;
inline constexpr int Numpad7 = 0x67;
inline constexpr int Numpad8 = 0x68;
inline constexpr int Numpad9 = 0x69;
inline constexpr int Multiply = 0x6A; // keypad *
inline constexpr int Add = 0x6B;      // keypad +
inline constexpr int Subtract = 0x6D; // keypad -
inline constexpr int Decimal = 0x6E;  // keypad . (Del without Num Lock)
inline constexpr int Divide = 0x6F;   // keypad /
inline constexpr int F1 = 0x70;
inline constexpr int F2 = 0x71;
inline constexpr int F3 = 0x72;
inline constexpr int F4 = 0x73;
inline constexpr int F5 = 0x74;
inline constexpr int F6 = 0x75;
inline constexpr int F7 = 0x76;
inline constexpr int F8 = 0x77;
inline constexpr int F9 = 0x78;
inline constexpr int F10 = 0x79;
inline constexpr int F11 = 0x7A;
inline constexpr int F12 = 0x7B;
inline constexpr int F13 = 0x7C;
inline constexpr int F14 = 0x7D;
inline constexpr int F15 = 0x7E;
inline constexpr int F16 = 0x7F;
inline constexpr int F17 = 0x80;
inline constexpr int F18 = 0x81;
inline constexpr int F19 = 0x82;
inline constexpr int F20 = 0x83;
inline constexpr int F21 = 0x84;
inline constexpr int F22 = 0x85;
inline constexpr int F23 = 0x86;
inline constexpr int F24 = 0x87;
inline constexpr int NumLock = 0x90;
inline constexpr int Scroll = 0x91; // Scroll Lock
// The sided modifiers, left then right, in the order of Shift, Control, Menu.
inline constexpr int LShift = 0xA0;
inline constexpr int RShift = 0xA1;
inline constexpr int LControl = 0xA2;
inline constexpr int RControl = 0xA3;
inline constexpr int LMenu = 0xA4;
inline constexpr int RMenu = 0xA5; // Right Alt (AltGr)
// The punctuation keys, named by their US characters.
inline constexpr int Oem1 = 0xBA;      // ; :
inline constexpr int OemPlus = 0xBB;   // = +
inline constexpr int OemComma = 0xBC;  // , <
inline constexpr int OemMinus = 0xBD;  // - _
inline constexpr int OemPeriod = 0xBE; // . >
inline constexpr int Oem2 = 0xBF;      // / ?
inline constexpr int Oem3 = 0xC0;      // ` ~
inline constexpr int Oem4 = 0xDB;      // [ {
inline constexpr int Oem5 = 0xDC;      // \ |
inline constexpr int Oem6 = 0xDD;      // ] }
inline constexpr int Oem7 = 0xDE;      // ' "
inline constexpr int Oem102 = 0xE2;    // the extra key beside the left Shift (< > on ISO boards)

} // namespace trelk::Vk
