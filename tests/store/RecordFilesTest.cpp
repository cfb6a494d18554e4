#include "store/BTRieve.h"
#include <gtest/gtest.h>
