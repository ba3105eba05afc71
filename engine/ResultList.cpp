#include "engine/ResultList.h"

#include "i18n/translation.h"

#include <QLocale>

void ResultList::Changed()
{
    if (FBatch > 0 || !FRedraw) {
        FDirty = true;
        return;
    }
    FDirty = false;
    if (FObserver)
        FObserver->ListReset();
}

void ResultList::Reserve(int groups, int items)
{
    FGroups.reserve(FGroups.size() + groups);
    FItems.reserve(FItems.size() + items);
}

void ResultList::AddGroup(int id, const QString& header)
{
    FGroups.append(ResultGroup { id, header });
    Changed();
}

void ResultList::DeleteFirstGroup()
{
    if (FGroups.isEmpty())
        return;
    FGroups.removeFirst();
    Changed();
}

int ResultList::AddItem(ResultItem item)
{
    FItems.append(std::move(item));
    Changed();
    return int(FItems.size()) - 1;
}

void ResultList::DeleteItem(int index)
{
    if (index < 0 || index >= FItems.size())
        return;
    FItems.removeAt(index);
    Changed();
}

int ResultList::DeleteCheckedItems()
{
    const int removed = int(FItems.removeIf([](const ResultItem& item) { return item.Checked; }));
    if (removed > 0)
        Changed();
    return removed;
}

int ResultList::DeleteItems(const QList<int>& indices)
{
    QList<bool> doomed(FItems.size(), false);
    for (const int i : indices)
        if (i >= 0 && i < FItems.size())
            doomed[i] = true;
    QList<ResultItem> kept;
    kept.reserve(FItems.size());
    for (qsizetype i = 0; i < FItems.size(); ++i)
        if (!doomed[i])
            kept.append(std::move(FItems[i]));
    const int removed = int(FItems.size() - kept.size());
    FItems = std::move(kept);
    if (removed > 0)
        Changed();
    return removed;
}

void ResultList::ClearItems()
{
    FItems.clear();
    Changed();
}

void ResultList::SetChecked(int index, bool checked)
{
    if (index < 0 || index >= FItems.size() || FItems[index].Checked == checked
        || (checked && FItems[index].Reference))
        return;
    FItems[index].Checked = checked;
    if (FBatch > 0 || !FRedraw) {
        FDirty = true;
        return;
    }
    if (FObserver)
        FObserver->ItemCheckChanged(index);
}

void ResultList::BeginUpdate()
{
    ++FBatch;
}

void ResultList::EndUpdate()
{
    if (FBatch == 0)
        return;
    if (--FBatch == 0 && FDirty)
        Changed();
}

void ResultList::SetGroupView(bool on)
{
    if (FGroupView == on)
        return;
    FGroupView = on;
    Changed();
}

void ResultList::SetRedraw(bool on)
{
    FRedraw = on;
    if (on && FDirty)
        Changed();
}

void ResultList::Invalidate()
{
    if (FBatch == 0 && FRedraw && FDirty)
        Changed();
}

QString FormatSizeMB(qint64 Bytes, QChar decimalPoint)
{
    if (Bytes < 0)
        return QStringLiteral("0");
    // Hundredths of a megabyte, halves rounded up, in exact integer arithmetic.
    const qint64 hundredths = Bytes / 1048576 * 100 + ((Bytes % 1048576) * 100 + 524288) / 1048576;
    const qint64 whole = qint64(hundredths / 100);
    const int frac = int(hundredths % 100);
    QString text = QString::number(whole);
    text += decimalPoint;
    if (frac < 10)
        text += u'0';
    text += QString::number(frac);
    return text + Translate(QStringLiteral(" MB"));
}

QString FormatSizeMB(qint64 Bytes)
{
    static const QChar point = [] {
        const QString p = QLocale::system().decimalPoint();
        return p.isEmpty() ? QChar(u'.') : p.front();
    }();
    return FormatSizeMB(Bytes, point);
}

QString FolderPart(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QStringList ResultItem::Texts() const
{
    if (!Data || !SubItems.isEmpty())
        return SubItems;
    return QStringList { Text(0), Text(1), Text(2) };
}

QString ResultItem::Text(int i) const
{
    if (!Data || !SubItems.isEmpty())
        return SubItems.value(i);
    switch (i) {
    case 0:
        return Data->Name();
    case 1: {
        QString folder = QString::fromUtf8(Data->NativeFolder());
        if (folder.size() > 1)
            folder.chop(1); // no trailing "/", except for "/" itself
        return folder;
    }
    case 2:
        return FormatSizeMB(Data->Size);
    default:
        return QString();
    }
}

namespace {

// Spreadsheets run a cell that begins with one of these as a formula (a file
// named =HYPERLINK(...) would be a link in the sheet); a leading ' makes them
// show it as text. A cell that begins with ' itself gets one too: the sheet
// shows it as it is, and taking one leading ' off any cell gives back the
// exact text, so no two names are written alike.
bool NeedsTextMark(const QString& field)
{
    if (field.isEmpty())
        return false;
    switch (field.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
    case u'\'':
        return true;
    default:
        return false;
    }
}

void AppendQuoted(QByteArray& line, const QString& field)
{
    line += '"';
    if (NeedsTextMark(field))
        line += '\'';
    const QByteArray utf8 = field.toUtf8();
    for (char c : utf8) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

} // namespace

bool WriteCsv(const ResultList& list, const std::function<bool(QByteArrayView)>& write)
{
    constexpr qsizetype kPiece = 64 * 1024;
    QByteArray text("\xEF\xBB\xBF");
    text += list.Columns.join(u',').toUtf8();
    text += "\r\n";
    for (const ResultItem& item : list.Items()) {
        AppendQuoted(text, item.Caption);
        for (const QString& sub : item.Texts()) {
            text += ',';
            AppendQuoted(text, sub);
        }
        text += "\r\n";
        if (text.size() >= kPiece) {
            if (!write(text))
                return false;
            text.clear();
        }
    }
    return text.isEmpty() || write(text);
}

QByteArray CsvText(const ResultList& list)
{
    QByteArray all;
    WriteCsv(list, [&all](QByteArrayView piece) {
        all += piece;
        return true;
    });
    return all;
}
