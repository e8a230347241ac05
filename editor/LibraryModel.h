// The library's presets for a grid of thumbnails: each row a preset of the
// index, shown by its name and a picture of its 48 pads in their colours.
// Everything comes from the index: no file is opened to draw the grid.
#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QPixmap>
#include <unordered_map>
#include <vector>

#include "editor/PadColours.h"
#include "library/Library.h"

namespace padkbd::editor {

class LibraryModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role { IdRole = Qt::UserRole, PathRole };
  enum class Order { Name, Date };
  // What a drag from the grid carries: the preset's path in the library.
  static constexpr const char* kMimeType = "application/x-padkbd-library-preset";
  static constexpr PadGeometry kThumbnailPads{8, 2, 4};
  static inline const QSize kThumbnail = kThumbnailPads.size();

  explicit LibraryModel(QObject* parent = nullptr);

  // `presets` as the index lists them; by date, the newest change first.
  // `names`: every preset's name by its id, for naming those with the same contents.
  void setPresets(std::vector<LibraryPreset> presets, Order order,
                  std::unordered_map<std::int64_t, QString> names);
  const LibraryPreset* at(int row) const;
  const std::vector<LibraryPreset>& presets() const { return presets_; }

  // The pads as the keyboard has them, a row of eight for each row of pads,
  // Pad 1 at the top left; a pad without a colour is left dark, a file that
  // is no usable preset is crossed out, one whose folder is gone is faded.
  static QPixmap thumbnail(const LibraryPreset& preset, const PadGeometry& pads = kThumbnailPads);
  // The names of the others with the same contents, for "same as".
  QStringList sameAs(const LibraryPreset& preset) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;

 private:
  QString toolTip(const LibraryPreset& preset) const;

  std::vector<LibraryPreset> presets_;
  std::unordered_map<std::int64_t, QString> names_;
  mutable QCache<QString, QPixmap> thumbnails_{4000};
};

}  // namespace padkbd::editor
