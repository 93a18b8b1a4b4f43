// Sound (placeholder until the sound work lands).
#include "sound/sound.h"

#include "engine/log.h"
#include "platform/platform.h"

namespace sound {

void intrusive_ptr_add_ref(Sound* s) { ++s->refs; }
void intrusive_ptr_release(Sound* s) {
  if (--s->refs == 0) delete s;
}
void InitSound(bool) {}
void QuitSound() {}
int SetVol(int, int) { return 0; }
boost::intrusive_ptr<Sound> LoadSound(const char*) { return nullptr; }
void UnloadSound(Sound*) {}
int PlaySound(int, Sound*, int, int) { return -1; }
int StopSound(int) { return 0; }
int FISound(int, Sound*, int, int, int) { return -1; }
int FOSound(int, int) { return 0; }

}  // namespace sound
