#pragma once

// The storage components of the main window: what both conversions reach
// their data through. They are created with the window in their design-time
// state (no database connected, no table open) and live as long as it does.

#include <array>
#include <memory>

#include "access/access_database.h"
#include "access/access_table.h"
#include "platform/dialogs.h"
#include "recordset/data_source.h"
#include "recordset/db_edit.h"
#include "tablefile/ntd_database.h"
#include "tablefile/ntd_dataset.h"

namespace converter {

// Members are declared users after what they use, so that they are
// destroyed first: the edits before their data sources, the data sources
// before their tables, the tables before their databases.
struct KonvertComponents {
  KonvertComponents();
  KonvertComponents(const KonvertComponents&) = delete;
  KonvertComponents& operator=(const KonvertComponents&) = delete;

  // The open-file dialog (source) and the save-file dialog (target). The
  // chosen names outlive the dialogs: the conversions read them.
  platform::FileDialogState FileOpen;
  platform::FileDialogState FileSave;

  // The source connection and the connection to a 4.x target.
  accessdb::TAccessDatabase AccessDatabase1{"AccessDatabase1"};
  accessdb::TAccessDatabase AccessDatabase2{"AccessDatabase2"};
  // The table-file database of the 5.x target.
  tablefile::TNtdDatabase DB1{"DB1"};

  // The source table, the 4.x target table and the 5.x target table.
  accessdb::TAccessTable AccessTable1{"AccessTable1"};
  accessdb::TAccessTable AccessTable2{"AccessTable2"};
  tablefile::TNtdTable DBT1{"DBT1"};

  recordset::TDataSource DataSource1{"DataSource1"};
  recordset::TDataSource DataSource2{"DataSource2"};
  recordset::TDataSource DataSource3{"DataSource3"};

  // The hidden edits that carry one source entry as texts (DataSource1)...
  recordset::TDBEdit DBNahrungsmittel{"DBNahrungsmittel"};
  recordset::TDBEdit DBKcal{"DBKcal"};
  recordset::TDBEdit DBRubrik{"DBRubrik"};
  recordset::TDBEdit DBKjoule{"DBKjoule"};
  recordset::TDBEdit DBFett{"DBFett"};
  recordset::TDBEdit DBKh{"DBKh"};
  recordset::TDBEdit DBBE{"DBBE"};
  recordset::TDBEdit DBE{"DBE"};
  // ... into the new target row (DataSource2).
  recordset::TDBEdit DBNahrungsmittel2{"DBNahrungsmittel2"};
  recordset::TDBEdit DBKcal2{"DBKcal2"};
  recordset::TDBEdit DBKjoule2{"DBKjoule2"};
  recordset::TDBEdit DBRubrik2{"DBRubrik2"};
  recordset::TDBEdit DBFett2{"DBFett2"};
  recordset::TDBEdit DBKh2{"DBKh2"};
  recordset::TDBEdit DBBE2{"DBBE2"};
  recordset::TDBEdit DBE2{"DBE2"};
  // Edits for the minerals of a later table layout (DBKa2, DBPh2, DBCal2,
  // DBMag2, DBNat2, DBEis2, DBChl2, DBSul2, DBFlu2, DBNit2, DBHyd2): linked
  // to the target, never given a field.
  std::array<recordset::TDBEdit, 11> MineralEdits;

  // The edits of the source entry and of the target entry.
  std::array<recordset::TDBEdit*, 8> SourceEdits();
  std::array<recordset::TDBEdit*, 8> TargetEdits();
};

}  // namespace converter
