#pragma once
// The stored form of FTP credentials: the bytes enciphered with Serpent in 8-bit cipher
// feedback mode under the MD5 digest of a key built into the program, then Base64 (standard
// alphabet, "=" fill, no line breaks). The same text always gives the same stored form, and an
// empty text stays empty. This hides credentials from a glance at "ftp.dat", nothing more: the
// key is the same in every installation, so the file itself is kept private (mode 0600).

#include <string>
#include <string_view>

std::string EncryptCredential(std::string_view plain);
// A text that is not Base64 deciphers into meaningless bytes; nothing is reported.
std::string DecryptCredential(std::string_view stored);
