#include "platform/core/FileSystem.h"
