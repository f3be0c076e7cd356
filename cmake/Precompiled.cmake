# Precompiled headers. The Qt, GoogleTest and standard library headers take
# from a third to two thirds of each file's compile time; precompiling the
# ones most files of a target include parses them once per target instead.
# Turn off (-DCORVALT_PCH=OFF) to check that every file includes what it uses.
option(CORVALT_PCH "Precompile the headers the larger targets share" ON)

set(CORVALT_PCH_STD <algorithm> <cmath> <cstdint> <filesystem> <functional> <limits>
  <memory> <optional> <string> <string_view> <vector>)
set(CORVALT_PCH_QT_GUI <QByteArray> <QColor> <QFont> <QFontMetricsF> <QImage> <QPainter>
  <QPainterPath> <QRectF> <QString> <QStringList>)
set(CORVALT_PCH_QT_WIDGETS ${CORVALT_PCH_QT_GUI} <QAction> <QApplication> <QCheckBox>
  <QComboBox> <QDialog> <QDialogButtonBox> <QFormLayout> <QGridLayout> <QGroupBox>
  <QHBoxLayout> <QHeaderView> <QLabel> <QLineEdit> <QMenu> <QPushButton> <QSpinBox>
  <QTabWidget> <QTableWidget> <QTreeWidget> <QVBoxLayout> <QWidget>)
set(CORVALT_PCH_QT_CHARTS <QChart> <QChartView> <QLineSeries> <QValueAxis>)
set(CORVALT_PCH_QT_TEST ${CORVALT_PCH_QT_WIDGETS} <QDir> <QFile> <QMdiArea> <QMdiSubWindow>
  <QSignalSpy> <QTemporaryDir> <QtTest>)

# corvalt_precompile(target set...) precompiles the standard headers and the
# named sets (QT_GUI, QT_WIDGETS, QT_CHARTS, QT_TEST, GTEST) for target.
function(corvalt_precompile target)
  if(NOT CORVALT_PCH)
    return()
  endif()
  set(headers ${CORVALT_PCH_STD})
  foreach(set_name IN LISTS ARGN)
    if(set_name STREQUAL "GTEST")
      list(APPEND headers <gtest/gtest.h>)
    else()
      list(APPEND headers ${CORVALT_PCH_${set_name}})
    endif()
  endforeach()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# corvalt_reuse_precompiled(target from) uses the headers precompiled for
# another target built with the same options (the one-file test programs).
function(corvalt_reuse_precompiled target from)
  if(CORVALT_PCH)
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()
