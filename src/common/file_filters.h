#pragma once
// File dialog filters in the one form the dialogs take: "description (*.a *.b)", several
// joined by ";;", the first selected unless the dialog says otherwise.
#include <QString>
#include <QStringList>

// "FLV 檔案格式" and {"flv"} give "FLV 檔案格式 (*.flv)". An extension may hold wildcards
// ("m?v"); "*" stands for every file ("*.*"). No extensions at all also means every file.
QString fileFilter(const QString& description, const QStringList& extensions);

// The filter of one format named by its extension: "FLV 檔案格式 (*.flv)" for "flv".
QString formatFilter(const QString& extension);

// Several filters as one dialog offers them, in order.
QString joinFilters(const QStringList& filters);

// The extensions of an extension list such as ";flv;mpg;" (media_kinds.h), empty fields
// left out.
QStringList extensionsOf(const QString& extensionList);
