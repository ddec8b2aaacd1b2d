#pragma once
// TWideFileStream: a file stream opened by a wide file name. Mode 0xFFFF creates or truncates
// the file; any other mode opens an existing file, the access taken from the low two bits (0
// read, 1 write, 2 both). Sharing bits are accepted and ignored, as Linux has no share modes.
// Opening and creating alike raise EFCreateError "Cannot create file %s" with the name.

#include "Platform/files/Streams.h"

#include <QString>

class TWideFileStream : public TFileStream {
public:
    TWideFileStream(const QString& fileName, unsigned mode);
};
