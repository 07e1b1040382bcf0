#pragma once
// The table of skin ids the program's pages and dialogs name: what each one shows and its natural
// size. Skins.cpp draws from it; pages that own further ids add them with Skins::Register.

#include "res/Skins.h"

// The size of an id nobody described: a standard console button.
inline constexpr QSize UndescribedSize{64, 22};

// The built-in description of an id, or nullptr.
const SkinSpec *FindBuiltIn(SkinType type, int id);
