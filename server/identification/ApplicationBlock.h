#pragma once

#include "Matcher.h"

// The block the application uploads after capturing these samples from a fresh start (its
// extraction of the last 6.12 s): what evaluations and tests send to the matcher.
Matcher::Block applicationBlock(const int16_t* samples, int count);
