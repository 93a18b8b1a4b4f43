// Test-only virtual pads (see test_pads.h), on SDL's virtual joysticks. A
// database pad is a virtual joystick given the database's layout of the real
// pad, re-keyed to the virtual joystick's own id.
#include "backend/sdl/test_pads.h"

#include <SDL.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "base/log.h"

namespace backend {

namespace {

struct Kind {
  const char* word;
  const char* real_guid;  // the database pad it stands for, or null
  int axes, buttons, hats;
  Uint16 product;  // each kind its own, so no layout is found for another
};
constexpr Kind kKinds[] = {{"xbox", "030000005e0400008e02000010010000", 6, 11, 1, 0x5601},
                           {"ps4", "030000004c050000cc09000011810000", 6, 13, 1, 0x5602},
                           {"pad", nullptr, 2, 12, 1, 0x5678},
                           {"handheld", nullptr, 0, 16, 0, 0x5604}};

struct Pad {
  const Kind* kind = nullptr;
  std::uint32_t plug = 0, pull = 0;  // pull 0: never
  std::vector<std::pair<int, std::uint32_t>> presses;  // button, Update
  std::vector<std::pair<int, std::uint32_t>> hats;     // hat 0's position, Update
  SDL_Joystick* joystick = nullptr;
  bool gone = false;
};

void Bad(const std::string& word) { base::Tell("LUNASHOT_TEST_PADS: cannot use '" + word + "'"); }

class VirtualPads : public TestPads {
 public:
  explicit VirtualPads(const std::string& script) {
    std::stringstream pads(script);
    std::string text;
    while (std::getline(pads, text, ';')) {
      std::istringstream words(text);
      std::string word;
      Pad pad;
      while (words >> word) {
        char* end = nullptr;
        if (!pad.kind) {
          for (const Kind& k : kKinds)
            if (word == k.word) pad.kind = &k;
          if (!pad.kind) {
            Bad(word);
            break;
          }
        } else if (word[0] == '+' || word[0] == '-') {
          (word[0] == '+' ? pad.plug : pad.pull) = std::strtoul(word.c_str() + 1, &end, 10);
          if (*end) Bad(word);
        } else if (word[0] == 'h') {
          const int position = static_cast<int>(std::strtol(word.c_str() + 1, &end, 10));
          const std::uint32_t update = std::strtoul(end + (*end == '@'), &end, 10);
          if (*end || word.find('@') == std::string::npos)
            Bad(word);
          else
            pad.hats.emplace_back(position, update);
        } else {
          const int button = static_cast<int>(std::strtol(word.c_str(), &end, 10));
          const std::uint32_t update = std::strtoul(end + (*end == '@'), &end, 10);
          if (*end || word.find('@') == std::string::npos)
            Bad(word);
          else
            pad.presses.emplace_back(button, update);
        }
      }
      if (pad.kind) pads_.push_back(pad);
    }
  }

  void Step(std::uint32_t update) override {
    for (Pad& pad : pads_) {
      if (!pad.joystick && !pad.gone && update >= pad.plug) Plug(&pad);
      if (pad.joystick && pad.pull != 0 && update >= pad.pull) Pull(&pad);
      if (!pad.joystick) continue;
      for (const auto& press : pad.presses)
        if (press.second == update || press.second + 1 == update)
          SDL_JoystickSetVirtualButton(pad.joystick, press.first, press.second == update);
      for (const auto& hat : pad.hats)
        if (hat.second == update || hat.second + 1 == update)
          SDL_JoystickSetVirtualHat(pad.joystick, 0,
                                    static_cast<Uint8>(hat.second == update ? hat.first : 0));
    }
  }

 private:
  void Plug(Pad* pad) {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = static_cast<Uint16>(pad->kind->axes);
    desc.nbuttons = static_cast<Uint16>(pad->kind->buttons);
    desc.nhats = static_cast<Uint16>(pad->kind->hats);
    desc.vendor_id = 0x1234;
    desc.product_id = pad->kind->product;
    const std::string name = std::string("Test ") + pad->kind->word;
    desc.name = name.c_str();
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) {
      pad->gone = true;
      return Bad(std::string(pad->kind->word) + "' (" + SDL_GetError() + ")");
    }
    if (pad->kind->real_guid) {
      char* real =
          SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(pad->kind->real_guid));
      if (!real) return Bad(std::string(pad->kind->word) + "' (not in the database)");
      char guid[33];
      SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
      const std::string layout = std::string(real);
      SDL_free(real);
      SDL_GameControllerAddMapping((guid + layout.substr(layout.find(','))).c_str());
    }
    pad->joystick = SDL_JoystickOpen(index);
  }

  void Pull(Pad* pad) {
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad->joystick);
    SDL_JoystickClose(pad->joystick);
    pad->joystick = nullptr;
    pad->gone = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
  }

  std::vector<Pad> pads_;
};

}  // namespace

std::unique_ptr<TestPads> TestPadsFromEnvironment() {
  const char* script = std::getenv("LUNASHOT_TEST_PADS");
  if (!script) return nullptr;
  return std::make_unique<VirtualPads>(script);
}

}  // namespace backend
