// `lunashot new DIR`: writes a starter game that runs at once.
#pragma once
#include <string>

// Creates DIR (which must not exist, or be an empty directory) with
// sprite/pal.pal, sprite/font.spr, sprite/ship.spr, sound/shot.wav,
// sound/boom.wav and script/start.lua. Never replaces a file. False with
// the reason.
bool WriteStarterGame(const std::string& dir, std::string* error);
