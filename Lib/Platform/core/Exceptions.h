#pragma once
// The exception family that the class library raises. Every exception carries its message
// text; the application-wide handler shows that text and the event loop goes on.

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message, int helpContext = 0)
        : FMessage(std::move(message)), FHelpContext(helpContext) {}

    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    int HelpContext() const noexcept { return FHelpContext; }

private:
    std::string FMessage;
    int FHelpContext;
};

// Declares an exception class that derives from `Base` and takes the base constructors.
#define ZENTU_DECLARE_EXCEPTION(Name, Base) \
    class Name : public Base {              \
    public:                                 \
        using Base::Base;                   \
    }

ZENTU_DECLARE_EXCEPTION(EAbort, Exception);
// A failed assertion of a component: a caller broke a precondition; the message says which.
ZENTU_DECLARE_EXCEPTION(EAssertionFailed, Exception);
ZENTU_DECLARE_EXCEPTION(EListError, Exception);
ZENTU_DECLARE_EXCEPTION(EConvertError, Exception);
ZENTU_DECLARE_EXCEPTION(EInvalidOperation, Exception);
ZENTU_DECLARE_EXCEPTION(EInvalidArgument, Exception);
ZENTU_DECLARE_EXCEPTION(ERangeError, Exception);
ZENTU_DECLARE_EXCEPTION(EOutOfResources, Exception);
ZENTU_DECLARE_EXCEPTION(EComponentError, Exception);
ZENTU_DECLARE_EXCEPTION(EStreamError, Exception);
ZENTU_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
ZENTU_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
ZENTU_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
ZENTU_DECLARE_EXCEPTION(EReadError, EStreamError);
ZENTU_DECLARE_EXCEPTION(EWriteError, EStreamError);

// An operating-system call failed; ErrorCode is the errno value (0 when unknown).
class EOSError : public Exception {
public:
    EOSError(std::string message, int errorCode) : Exception(std::move(message)), FErrorCode(errorCode) {}
    int ErrorCode() const noexcept { return FErrorCode; }

private:
    int FErrorCode;
};

// The text of an errno value, as the system describes it.
std::string SysErrorMessage(int errorCode);

// Raises EOSError for errno (or for `errorCode` when given):
// "System Error.  Code: %d.\r\n%s", or "A call to an OS function failed" for code 0.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(int errorCode);

// Throws EAbort, the silent exception that ends an operation without a message.
[[noreturn]] void Abort();
