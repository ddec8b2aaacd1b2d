#pragma once
// The exception family of the control library and the docking framework.

#include "Platform/core/Exceptions.h"

ZENTU_DECLARE_EXCEPTION(EExLibException, Exception);
ZENTU_DECLARE_EXCEPTION(EExLibAppStorageError, EExLibException);
ZENTU_DECLARE_EXCEPTION(EExLibDataProvider, EExLibException);
ZENTU_DECLARE_EXCEPTION(EExLibDataConsumer, EExLibDataProvider);
ZENTU_DECLARE_EXCEPTION(EExLibDataItems, EExLibDataProvider);
ZENTU_DECLARE_EXCEPTION(EExLibDataContexts, EExLibDataProvider);
ZENTU_DECLARE_EXCEPTION(EComboEditError, EExLibException);
