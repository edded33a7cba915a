#pragma once

#include "services/registry/registry.h"

class RuntimeServices;

// Starts the system-information tool found through the registry, or tells the user it is
// unavailable. Never throws.
void StartSysInfo(RuntimeServices &services, registry::Registry &reg);
