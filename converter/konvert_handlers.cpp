#include "converter/konvert_handlers.h"

#include "converter/konvert_texts.h"
#include "platform/dialogs.h"
#include "recordset/messages.h"

namespace converter {

KonvertHandlers::KonvertHandlers(KonvertView& view, KonvertComponents& components)
    : view_(view), c_(components) {}

void KonvertHandlers::Resety() {
  view_.SetProgressPosition(0);
  view_.SetProgressCaption("");
  view_.SetText(StaticText::LblAnzahl1, texts::kNoCount);
  view_.SetText(StaticText::LblAnzahl2, texts::kNoCount);
  DisconnectBoth();
  ReleaseFields(c_.SourceEdits());
  ReleaseFields(c_.TargetEdits());
  c_.AccessTable1.SetTableName("");
  c_.AccessTable2.SetTableName("");
  c_.FileOpen.fileName.clear();
  c_.FileSave.fileName.clear();
  view_.SetText(StaticText::LblQuelle, "");
  view_.SetText(StaticText::LblZiel, "");
  view_.SetText(StaticText::lblv, texts::kNoRelease);
  view_.SetText(StaticText::lblv2, texts::kNoRelease);
  view_.SetChecked(CheckBox::CBUeber, false);
  view_.SetEnabled(Control::CBUeber, false);
  view_.SetEnabled(Control::Label7, false);
}

bool KonvertHandlers::AppendPermitted() const {
  return view_.Enabled(Control::CBUeber) && view_.Checked(CheckBox::CBUeber);
}

void KonvertHandlers::RequireOpenSource() const {
  // Without a source of a known release nothing was opened; converting
  // would report success for a target that received nothing.
  if (!c_.AccessTable1.Active()) c_.AccessTable1.RaiseError(recordset::messages::kDataSetClosed);
}

void KonvertHandlers::ShowHinweis(const char* text) {
  platform::ShowMessage(nullptr, texts::kHinweis, text, platform::MessageIcon::kWarning);
}

void KonvertHandlers::DisconnectBoth() {
  c_.AccessDatabase1.SetConnected(false);
  c_.AccessDatabase2.SetConnected(false);
}

void KonvertHandlers::ReleaseFields(std::span<recordset::TDBEdit* const> edits) {
  for (recordset::TDBEdit* edit : edits) edit->SetDataField("");
}

}  // namespace converter
