#pragma once
// The message texts of the control library and the docking framework, grouped as the program's
// string table groups them (identifiers 65072 to 65119).

namespace ExRes {

inline constexpr const char* ItemNoTextIntf = "(item does not support the IExDataItemText interface)"; // 65107
inline constexpr const char* InternalError = "internal error";                                             // 65108
inline constexpr const char* IniSectionUndefined = "TExAppIniFileStorage.ReadValue: Section undefined";   // 65109
inline constexpr const char* InvalidType = "Invalid type";                                                 // 65110
inline constexpr const char* UnknownSetBaseType = "Unknown base type for given set";                      // 65111
inline constexpr const char* InvalidPath = "Invalid path";                                                 // 65112
inline constexpr const char* NotUniqueRootPath = "'%s' is not a unique root path";                        // 65113
inline constexpr const char* CircularStorages = "Circular reference of storages";                         // 65114
inline constexpr const char* ShellNotCompatible = "Shell not compatible with BrowseForFolder";            // 65115
inline constexpr const char* NoValidOwner = "%s: cannot be created without a valid Owner";                // 65116
inline constexpr const char* ProcessRunning = "Cannot perform this operation when process is running";    // 65117
inline constexpr const char* ItemCannotBeDeleted = "Item cannot be deleted";                              // 65118
inline constexpr const char* ContextNameExists = "A context with that name already exists";               // 65119
inline constexpr const char* ContextWithoutOwner = "Cannot create a context without a context list owner"; // 65088
inline constexpr const char* ProviderBeforeContext = "You must specify a provider before setting the context"; // 65089
inline constexpr const char* ProviderHasNoContext = "Provider has no context named \"%s\"";                  // 65090
inline constexpr const char* ProviderNoContexts = "Provider does not support contexts";                     // 65091
inline constexpr const char* ContextOfOtherProvider = "The specified context is not part of the same provider"; // 65092
inline constexpr const char* ProviderBeforeItem = "You must specify a provider before setting the item";    // 65093
inline constexpr const char* ItemNotInContext = "Item not found in the selected context";                    // 65094
inline constexpr const char* ViewListOutOfSync = "ViewList out of sync";                                      // 65095
inline constexpr const char* ImplementationExists = "Implementation of that class already exists";           // 65096
inline constexpr const char* ExpectedCollection = "Expected collection";                                     // 65097
inline constexpr const char* MissingClassName = "Missing ClassName property";                                // 65098
inline constexpr const char* InvalidClassType = "Invalid class type";                                        // 65099
inline constexpr const char* DragToFloating = "Drag to floating";                                            // 65100
inline constexpr const char* ColorWindow = "Color Window";                                                   // 65101
inline constexpr const char* DragToFloat = "Drag to float";                                                  // 65102
inline constexpr const char* Automatic = "Automatic";                                                        // 65103
inline constexpr const char* OtherColors = "Other Colors...";                                                // 65072
inline constexpr const char* ValueOutOfRange = "Value must be between %g and %g";                            // 65073
inline constexpr const char* InvalidControlSelection = "Invalid control selection";                          // 65074
inline constexpr const char* Browse = "Browse";                                                              // 65075
inline constexpr const char* AllFilesFilter = "All files (*.*)|*.*";                                          // 65076

} // namespace ExRes
