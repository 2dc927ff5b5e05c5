#pragma once

// Every message text of the Access layer, in one place. They are English,
// like the rest of the engines' messages, and start with the class and
// routine that raises them where the component has always named them so.
// "%s" is filled by recordset::FillMessage.

#include <string_view>

namespace accessdb::messages {

// TAccessDatabase: engine start.
inline constexpr std::string_view kNoDao = "Cannot find DAO on your system!";
inline constexpr std::string_view kOldDao =
    "You does not have Microsoft DAO installed ot it is an OLD Version!";

// TAccessDatabase: connecting.
inline constexpr std::string_view kDatabaseUndefined =
    "TAccessDatabase.F_Set_Active: Database property is not defined!";
inline constexpr std::string_view kDatabaseTypeUndefined =
    "TAccessDatabase.F_Set_Active: DatabaseType property is not defined!";
inline constexpr std::string_view kCannotFindDatabase = "Cannot find Database:\r\n%s";
inline constexpr std::string_view kOdbcDirectForAccess =
    "TAccessDatabase.F_Set_Active: ODBC direct workspaces\r\nare NOT supported for MS Access "
    "Databases!";
inline constexpr std::string_view kOdbcDirectForIsam =
    "TAccessDatabase.F_Set_Active: ODBC direct workspaces NOT supported!";
inline constexpr std::string_view kLoginCancelled =
    "If You not enter Username and Password You may not gain access to your data!";

// TAccessDatabase: properties refused while connected.
inline constexpr std::string_view kSetDatabase =
    "TAccessDatabase.F_Set_Database: Cannot set Database while Database is connected!";
inline constexpr std::string_view kSetDatabaseParameters =
    "TAccessDatabase.F_Set_DatabaseParameters: Cannot set DatabaseParameters while Database is "
    "connected!";
inline constexpr std::string_view kSetSystemDatabase =
    "TAccessDatabase.F_Set_SystemDatabase: Cannot set SystemDatabase while Database is connected!";
inline constexpr std::string_view kSetVersion =
    "TAccessDatabase.F_Set_DaoVersion: Cannot set Dao Version while Database is connected!";
inline constexpr std::string_view kSetWorkspace =
    "TAccessDatabase.F_Set_Workspace: Cannot set Workspace while Database is connected!";
inline constexpr std::string_view kSetDatabaseType =
    "TAccessDatabase.F_Set_DatabaseType: Cannot set Database Type while Database is connected!";
inline constexpr std::string_view kSetEngineType =
    "TAccessDatabase.F_Set_EngineType: Cannot set EngineType Type while Database is connected!";
inline constexpr std::string_view kSetPrivateEngine =
    "TAccessDatabase.F_Set_EngineType: Cannot set PrivateEngine Type while Database is connected!";
inline constexpr std::string_view kSetReadOnly =
    "TAccessDatabase.F_Set_ReadOnly: Cannot change mode while Database is connected!";
inline constexpr std::string_view kSetExclusive =
    "TAccessDatabase.F_Set_Exclusive: Cannot change Exclusive mode while Database is connected!";
inline constexpr std::string_view kSetLoginPrompt =
    "TAccessDatabase.F_Set_LoginPrompt: Cannot change LoginPrompt while Database is connected!";
inline constexpr std::string_view kSetUserName =
    "TAccessDatabase.F_Set_UserName: Cannot change User Name while Database is connected!";
inline constexpr std::string_view kSetPassword =
    "TAccessDatabase.F_Set_Password: Cannot change Password while Database is connected!";
inline constexpr std::string_view kSetDatabasePassword =
    "TAccessDatabase.F_Set_DatabasePassword: Cannot change Database Password while Database is "
    "connected!";
inline constexpr std::string_view kSetTrackTransactions =
    "Cannot set TrackTransactions property when Database is connected!";

// TAccessDatabase: creating databases and tables.
inline constexpr std::string_view kCreateTableNotConnected =
    "TAccessDatabase.CreateTable: Cannot create table while Database is NOT connected!";
inline constexpr std::string_view kCreateTableNameEmpty =
    "TAccessDatabase.CreateTable: TableName parameter is empty!";
inline constexpr std::string_view kCreateDatabaseWithoutEngine =
    "TAccessDatabase.CreateDatabaseFile: The DAO engine has not been started!";
inline constexpr std::string_view kCreateDatabaseVersion =
    "TAccessDatabase.CreateDatabaseFile: Version %s cannot create database files!";

// TAccessTableManager.
inline constexpr std::string_view kManagerWithoutDatabase = "Database property not set!";
inline constexpr std::string_view kManagerNotConnected = "Database is not connected!";
inline constexpr std::string_view kManagerWithoutTableName = "Missing TableName!";

// TAccessTable: properties refused while open.
inline constexpr std::string_view kSetTableDatabase =
    "TAccessTable.F_Set_Database: Cannot set Database while Table is Active!";
inline constexpr std::string_view kSetTableName =
    "TAccessTable.F_Set_TableName: Cannot set TableName while Table is active!";
inline constexpr std::string_view kSetQueryDefName =
    "TAccessTable.F_Set_QueryDefName: Cannot set QueryDefName while Table is Active!";
inline constexpr std::string_view kSetTableType =
    "TAccessTable.F_Set_TableType: Cannot set TableType while Table is active!";
inline constexpr std::string_view kSetLockType =
    "TAccessTable.F_Set_LockType: Cannot set LockType while Table is active!";

// TAccessTable: opening.
inline constexpr std::string_view kMissingDatabase =
    "TAccessTable.OpenDaoRecordset: Missing Database Property";
inline constexpr std::string_view kMissingSource =
    "TAccessTable.OpenDaoRecordset: Missing TableName or QueryDefName, or SQL is empty!";
inline constexpr std::string_view kDatabaseNotConnected =
    "TAccessTable.OpenDaoRecordset: Database is NOT connected";
inline constexpr std::string_view kDynamicForOdbcOnly =
    "TAccessTable.OpenDaoRecordset: DynamicTables are for ODBC connections only!";
inline constexpr std::string_view kInvalidQueryDefParameters =
    "TAccessTable.OpenDaoRecordset: Invalid number of QueryDef parameters or parameter is not in valid format!";

// TAccessTable: master/detail.
inline constexpr std::string_view kMasterDetailCount = "The number of Master and Detail fields must be equal!";
inline constexpr std::string_view kMasterDetailType = "Unable to build Master/Detail SQL Relationship!";
inline constexpr std::string_view kCircularLinks = "Circular links not allowed!";

// TAccessTable: row marks, counting and large values.
inline constexpr std::string_view kGotoBookmarkClosed =
    "TAccessTable.InternalGotoBookmark: Cannot goto Bookmark - Table is not Active";
inline constexpr std::string_view kInvalidBookmark = "Invalid Bookmark!";
inline constexpr std::string_view kBookmarksNotSupported = "Bookmarks are not supported!";
inline constexpr std::string_view kNeedsRepair = "Database %s needs to be repaired and compacted!";
inline constexpr std::string_view kWriteReadOnlyTable = "Cannot write to ReadOnly table!";

// TAccessTable: searching by key and index definitions.
inline constexpr std::string_view kKeyCountMismatch =
    "Number of elements in the KeyValues array must be equal to the number of fields.";
inline constexpr std::string_view kLocateWithoutIndex =
    "Index Property is Empty!\r\nYou must set an index before using Locate with StandardTables";
inline constexpr std::string_view kNoResultFields = "ResultFields are not defined";
inline constexpr std::string_view kInvalidFieldName = "Invalid field name: %s";
inline constexpr std::string_view kCannotBuildKeySql = "Unable to build Key SQL!";
inline constexpr std::string_view kCannotBuildLookupSql = "Unable to build Lookup Key SQL!";
inline constexpr std::string_view kIndexOnlyOnTables =
    "TAccessTable.F_Set_IndexName: Indexes can be set only on Standard Tables!";

}  // namespace accessdb::messages
