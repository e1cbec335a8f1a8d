// HMAC-SHA256 (RFC 2104, FIPS 198-1) over the project's SHA-256: what turns the secret key
// of a game and the number of a ball into that ball's bits.
#pragma once
#include <string>

#include "game/sha256.h"

Sha256Digest HmacSha256(const std::string& key, const std::string& message);
