// RC4, the stream cipher Jet uses for the page-0 header mask and for page
// encryption of files with a database key.
#pragma once

#include "dao/jet/bytes.h"

namespace dao::jet {

// XORs `data` with the RC4 key stream of `key` (encrypts and decrypts alike).
void Rc4Apply(Bytes key, MutableBytes data);

// Applies the page encryption of a database whose key is `databaseKey` to
// the bytes of page `pageNumber` (the key is the database key XOR the page
// number, both u32 little-endian).
void ApplyPageCipher(std::uint32_t databaseKey, std::uint32_t pageNumber, MutableBytes page);

}  // namespace dao::jet
