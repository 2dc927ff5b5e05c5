#include "recordset/db_edit.h"

#include "recordset/messages.h"

namespace recordset {

// The edit's connection to its data source.
class TDBEdit::Link : public TDataLink {
 public:
  explicit Link(TDBEdit& edit) : edit_(edit) {}

 protected:
  void ActiveChanged() override { edit_.UpdateField(); }
  void DataSetChanged() override { edit_.ShowFieldText(); }
  void RecordChanged(const TField* field) override {
    if (field == nullptr || field == edit_.field_) edit_.ShowFieldText();
  }
  void UpdateData() override { edit_.WriteFieldText(); }

 private:
  TDBEdit& edit_;
};

TDBEdit::TDBEdit(std::string name) : name_(std::move(name)), link_(std::make_unique<Link>(*this)) {}

TDBEdit::~TDBEdit() = default;

TDataSource* TDBEdit::DataSource() const { return link_->DataSource(); }

void TDBEdit::SetDataSource(TDataSource* source) { link_->SetDataSource(source); }

void TDBEdit::SetDataField(std::string fieldName) {
  if (fieldName == dataField_) return;
  dataField_ = std::move(fieldName);
  UpdateField();
}

void TDBEdit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  modified_ = true;
}

void TDBEdit::UpdateField() {
  field_ = nullptr;
  if (link_->Active() && !dataField_.empty()) {
    TField* field = link_->DataSet()->FindField(dataField_);
    if (field == nullptr) {
      ShowFieldText();
      DatabaseError(FillMessage(messages::kFieldNotFound, {dataField_}), name_);
    }
    field_ = field;
  }
  ShowFieldText();
}

void TDBEdit::ShowFieldText() {
  text_ = field_ == nullptr ? std::string() : field_->DisplayTextValue();
  modified_ = false;
}

void TDBEdit::WriteFieldText() {
  if (!modified_) return;
  if (field_ != nullptr) field_->SetTextValue(text_);
  modified_ = false;
}

}  // namespace recordset
