#pragma once
// The errors of the FTP client. Their texts never hold a password: a server's answer is
// passed on as the server wrote it, less any password of the connection.

#include "Platform/core/Exceptions.h"

// A failed connection, a broken or timed-out transfer, a malformed reply.
ZENTU_DECLARE_EXCEPTION(ENetFTPError, Exception);
// A call made while another call of the same client is still running.
ZENTU_DECLARE_EXCEPTION(ENetFTPBusy, ENetFTPError);
// A call that Abort ended; the connection is closed.
ZENTU_DECLARE_EXCEPTION(ENetFTPAborted, ENetFTPError);

// The server answered a command with an error code.
class ENetFTPReplyError : public ENetFTPError {
public:
    ENetFTPReplyError(std::string message, int code) : ENetFTPError(std::move(message)), FCode(code) {}
    int Code() const noexcept { return FCode; }

private:
    int FCode;
};
