#pragma once

#include "control_specs.h"
#include "detail_panel_table.h"
#include "element_grid_table.h"

class QFont;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vostrel {

// One routine per kind of control, each making the control from its table row.
QLabel* buildLabel(QWidget* parent, const LabelSpec& row);
QPushButton* buildPushButton(QWidget* parent, const ButtonSpec& row);
QPushButton* buildElementButton(QWidget* parent, const ElementButtonSpec& row);
// The font of every detail box.
const QFont& detailBoxFont();
// The detail box of a panel row, with its field label (already built) as the label that names it.
QLineEdit* buildDetailBox(QWidget* parent, const PanelRowSpec& row, QLabel* fieldLabel);

// The field label of a panel row, as a label of the common kind.
LabelSpec fieldLabelSpec(const PanelRowSpec& row);

} // namespace vostrel
