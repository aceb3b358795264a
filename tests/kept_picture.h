// SPDX-License-Identifier: GPL-3.0-or-later
// A picture pixel for pixel against the one kept with the tests
// (SKYVANE_UPDATE_PICTURES=1 writes them afresh); one that differs is saved
// in the temporary folder for a look.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

inline void LooksAsKept(const QImage& picture, const QString& name) {
  QImage shown = picture.convertToFormat(QImage::Format_RGB32);
  shown.setDevicePixelRatio(1);
  const QString kept = QStringLiteral(SKYVANE_TEST_DATA "/") + name;
  if (qEnvironmentVariableIsSet("SKYVANE_UPDATE_PICTURES")) shown.save(kept);
  const bool same = shown == QImage(kept).convertToFormat(QImage::Format_RGB32);
  const QString seen = QDir::temp().filePath("skyvane-" + name);
  if (!same) shown.save(seen);
  EXPECT_TRUE(same) << "differs from " << kept.toStdString() << ": see " << seen.toStdString();
}
