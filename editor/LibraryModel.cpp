#include "editor/LibraryModel.h"

#include <QMimeData>
#include <QPainter>
#include <algorithm>

#include "editor/PadColours.h"
#include "editor/Words.h"

namespace padkbd::editor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

LibraryModel::LibraryModel(QObject* parent) : QAbstractListModel(parent) {}

void LibraryModel::setPresets(std::vector<LibraryPreset> presets, Order order,
                              std::unordered_map<std::int64_t, QString> names) {
  beginResetModel();
  presets_ = std::move(presets);
  names_ = std::move(names);
  if (order == Order::Date) {
    std::stable_sort(
        presets_.begin(), presets_.end(),
        [](const LibraryPreset& a, const LibraryPreset& b) { return a.changed > b.changed; });
  }
  endResetModel();
}

const LibraryPreset* LibraryModel::at(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= presets_.size()) return nullptr;
  return &presets_[static_cast<std::size_t>(row)];
}

QPixmap LibraryModel::thumbnail(const LibraryPreset& preset, const PadGeometry& pads) {
  const QSize size = pads.size();
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  if (preset.missing) painter.setOpacity(0.35);
  std::vector<QColor> colours;
  for (const PadColour& c : preset.pads) {
    colours.push_back(preset.refused ? QColor() : padColour(c.red, c.green, c.blue));
  }
  paintPads(painter, colours, pads);
  if (preset.refused) {
    painter.setPen(QPen(QColor(0xe0, 0x5a, 0x4f), std::max(1, pads.cell / 3)));
    const QRectF cross =
        QRectF(QPointF(0, 0), size)
            .adjusted(size.width() / 5, size.height() / 5, -size.width() / 5, -size.height() / 5);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.bottomLeft(), cross.topRight());
  }
  return picture;
}

QStringList LibraryModel::sameAs(const LibraryPreset& preset) const {
  QStringList names;
  for (const std::int64_t id : preset.sameAs) {
    const auto found = names_.find(id);
    if (found != names_.end()) names << found->second;
  }
  names.sort(Qt::CaseInsensitive);
  return names;
}

QString LibraryModel::toolTip(const LibraryPreset& preset) const {
  QStringList lines{q(preset.name), QString::fromStdString(preset.path.string())};
  if (!preset.tags.empty()) {
    QStringList tags;
    for (const std::string& tag : preset.tags) tags << q(tag);
    lines << tr("Tags: %1").arg(tags.join(QStringLiteral(", ")));
  }
  if (!preset.notes.empty()) lines << q(preset.notes);
  if (const QStringList same = sameAs(preset); !same.isEmpty()) {
    lines << tr("The same preset as %1").arg(same.join(QStringLiteral(", ")));
  }
  if (preset.refused) lines << sentence(*preset.refused);
  if (preset.missing) lines << tr("Its folder is not there now.");
  return lines.join(QLatin1Char('\n'));
}

int LibraryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(presets_.size());
}

QVariant LibraryModel::data(const QModelIndex& index, int role) const {
  const LibraryPreset* preset = index.isValid() ? at(index.row()) : nullptr;
  if (!preset) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const QString name = (preset->favourite ? QStringLiteral("★ ") : QString()) + q(preset->name);
      return preset->sameAs.empty() ? name : name + QStringLiteral(" =");
    }
    case Qt::DecorationRole: {
      // A file changed or its folder gone is drawn anew.
      const QString key =
          QStringLiteral("%1 %2 %3").arg(preset->id).arg(q(preset->hash)).arg(preset->missing);
      if (QPixmap* cached = thumbnails_.object(key)) return *cached;
      auto* picture = new QPixmap(thumbnail(*preset));
      const QPixmap copy = *picture;
      thumbnails_.insert(key, picture);
      return copy;
    }
    case Qt::ToolTipRole:
      return toolTip(*preset);
    case Qt::AccessibleTextRole:
      return q(preset->name);
    case IdRole:
      return QVariant::fromValue<qint64>(preset->id);
    case PathRole:
      return QString::fromStdString(preset->path.string());
    default:
      return {};
  }
}

Qt::ItemFlags LibraryModel::flags(const QModelIndex& index) const {
  const LibraryPreset* preset = index.isValid() ? at(index.row()) : nullptr;
  if (!preset) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  // Only a usable preset can be put into a set.
  if (!preset->refused && !preset->missing) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

QStringList LibraryModel::mimeTypes() const {
  return {QString::fromLatin1(kMimeType)};
}

QMimeData* LibraryModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kMimeType), indexes.front().data(PathRole).toString().toUtf8());
  return data;
}

}  // namespace padkbd::editor
