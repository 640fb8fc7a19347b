// Tests of the INI profile reader.
#include "platform/profile_reader.h"

#include <gtest/gtest.h>
