#pragma once
// The messages the table-file dataset raises (prefixed with its name).

namespace tablefile::messages {

inline constexpr char kErrorOpeningTable[] = "Error opening table: ";
inline constexpr char kNoFieldDescriptions[] = "Error creating table (no field descriptions)";
inline constexpr char kFileNotFound[] = "Error opening file %s";
inline constexpr char kCloneSourceClosed[] = "Cloned table is not active!";
inline constexpr char kNoLoadingStream[] = "Loading stream is not assigned";
inline constexpr char kClonesStillOpen[] =
    "Cloned tables are not closed before source dataset is closed!";
inline constexpr char kNotEditing[] = "Table is not in edit or insert mode";
inline constexpr char kCannotEditCalcFields[] = "Cannot edit CalcFields";
inline constexpr char kFieldReadOnly[] = "Field '%s' is read only!";
inline constexpr char kNoRecords[] = "Number of records is equal to 0";
inline constexpr char kNotBlobField[] = "Field '%s' is not a BLOB field";

inline constexpr char kReadOnlyEdit[] = "Read-only record cannot be changed";
inline constexpr char kReadOnlyDelete[] = "Read-only record cannot be deleted";
inline constexpr char kReadOnlyInsert[] = "You have read only access, you can not add records!";
inline constexpr char kErrorSavingRecord[] = "Error saving record: ";
inline constexpr char kErrorSavingNewRecord[] = "Error saving new record: ";
inline constexpr char kErrorDeletingRecord[] = "Error deleting record: ";
inline constexpr char kKeyViolation[] = "Key violation";

// The filter language (raised without the dataset's name while a filter
// text is parsed; the resolution errors with it, while the view is built).
inline constexpr char kUnmatchedQuote[] = "Unmatched quote";
inline constexpr char kUnmatchedParentheses[] = "Unmatched parentheses";
inline constexpr char kInvalidSymbol[] = "Invalid symbol in parameter/identificator/reserved word";
inline constexpr char kNotAnIdentifier[] = "Parameter %s is not valid identifier";
inline constexpr char kUnsupportedFunction[] = "Unsupported function %s in query";
inline constexpr char kSymbolInAggregate[] = "Symbol %s is not supported in aggregate function argument";
inline constexpr char kComparisonError[] = "Error in comparison expression";
inline constexpr char kFieldNotFound[] = "Field %s is not found";
inline constexpr char kFieldTypesDiffer[] = "Types of compared fields are not equal";
inline constexpr char kInvalidMask[] = "'%s' is an invalid mask at (%d)";

// The view, its keys and the master-detail link.
inline constexpr char kCalcOrBlobKeyFields[] = "There are calc or BLOB fields in list of key fields";
inline constexpr char kMasterNotNtd[] = "Use only TNtdDataset descendants for master-detail relationship";
inline constexpr char kCircularDataLink[] = "Circular data link";
inline constexpr char kClosedDataset[] = "Cannot do this operation on closed dataset";

}  // namespace tablefile::messages
