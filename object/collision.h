// Script collision checks against the enemy and enemy-bullet lists.
#pragma once

#include "object/instance.h"

namespace object {

// dx^2 + dy^2 < sa^2 + sb^2 on absolute positions, strictly.
bool Touch(Instance* a, Instance* b);
void CheckEnemy(Instance* who, const char* name);
void CheckEBullet(Instance* who, const char* name);
void SetDamage(int x, int y, int w, int h);

}  // namespace object
