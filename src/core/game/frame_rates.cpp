#include "core/game/frame_rates.h"

#include "core/numbers.h"
#include "core/settings/registry.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

const QString kAviDemos = QStringLiteral("AviDemos");
const QString kAviDemoDefault = QStringLiteral("AviDemoDefault");

// A part of "AviDemos" as a whole number; nothing when it is no number.
std::optional<int> WholeNumber(const QString& part) {
    const QString text = part.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    double v = ParseLocaleNumber(text, &ok);
    if (!ok)
        v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > 2147483647.0)
        return std::nullopt;
    return RoundHalfEven(v);
}

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

std::vector<int> ParseAviDemos(const QString& text) {
    std::vector<int> rates;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const auto v = WholeNumber(part);
        if (v && *v > 0)
            rates.push_back(*v);
    }
    return rates;
}

bool AviDemoKeyAllowed(const QString& text, int caret, int selectionLength, QChar key) {
    const bool wholeSelected = selectionLength > 0 && selectionLength >= text.size();
    if (key == QLatin1Char('*'))
        return (!text.contains(QLatin1Char('*')) && caret == 0) || wholeSelected;
    if (key == QLatin1Char('\b'))
        return true;
    if (IsDigit(key))
        return text.size() < 7 || selectionLength > 0;
    return false;
}

void FrameRateList::Load(const QString& key) {
    std::vector<int> rates;
    bool parsed = false;
    const RegValue stored = RegReadValue(key, kAviDemos);
    if (!stored.IsEmpty()) {
        rates = ParseAviDemos(stored.Text());
        parsed = !rates.empty();
    }
    defaultRate_ = kDefaultFrameRate;
    if (parsed) {
        if (const auto d = RegValueToLong(RegReadValue(key, kAviDemoDefault)))
            defaultRate_ = *d;
    } else {
        RegWriteValue(key, kAviDemos, RegType::Sz, kDefaultAviDemos);
        rates = ParseAviDemos(kDefaultAviDemos);
    }
    items_.clear();
    for (int rate : rates)
        items_.push_back({QLatin1Char('_') + QString::number(rate), 0});
    Rebuild();
    SelectDefault();
}

void FrameRateList::Save(const QString& key) const {
    RegistryBatch batch;
    RegWriteValue(key, kAviDemos, RegType::Sz, StoredText());
    RegWriteValue(key, kAviDemoDefault, RegType::Dword,
                  defaultRate_ < 1 ? kDefaultFrameRate : defaultRate_);
}

void FrameRateList::Rebuild() {
    std::vector<int> temporary, stored;
    for (const Item& item : items_)
        (item.data != 0 ? temporary : stored).push_back(item.text.mid(1).toInt());
    std::sort(temporary.begin(), temporary.end());
    std::sort(stored.begin(), stored.end());
    items_.clear();
    for (int v : temporary)
        items_.push_back({QLatin1Char('*') + QString::number(v), 1});
    for (int v : stored)
        items_.push_back({QLatin1Char(' ') + QString::number(v), 0});
    if (selected_ >= Count())
        selected_ = Count() > 0 ? 0 : -1;
}

int FrameRateList::Value(int index) const {
    if (index < 0 || index >= Count())
        return 0;
    return items_[index].text.mid(1).toInt();
}

bool FrameRateList::IsTemporary(int index) const {
    return index >= 0 && index < Count() && items_[index].data != 0;
}

QStringList FrameRateList::Texts() const {
    QStringList texts;
    for (const Item& item : items_)
        texts.append(item.text);
    return texts;
}

int FrameRateList::Find(int rate, bool storedOnly) const {
    const QString number = QString::number(rate);
    for (int i = 0; i < Count(); ++i)
        if (items_[i].text == QLatin1Char(' ') + number)
            return i;
    if (!storedOnly)
        for (int i = 0; i < Count(); ++i)
            if (items_[i].text == QLatin1Char('*') + number)
                return i;
    return -1;
}

int FrameRateList::SelectDefault() {
    int index = Find(defaultRate_, true);
    if (index < 0) {
        for (int i = 0; i < Count(); ++i) {
            if (items_[i].data == 0) {
                index = i;
                defaultRate_ = Value(i);
                break;
            }
        }
    }
    Select(index);
    return selected_;
}

void FrameRateList::Select(int index) {
    if (Count() == 0) {
        selected_ = -1;
        editText_.clear();
        return;
    }
    selected_ = (index >= 0 && index < Count()) ? index : 0;
    editText_ = items_[selected_].text.mid(1);
}

int FrameRateList::CurrentRate() const {
    bool ok = false;
    const int v = editText_.toInt(&ok);
    return ok ? v : 0;
}

int FrameRateList::AddTemporary(int rate) {
    const int found = Find(rate);
    if (found >= 0)
        return found;
    items_.push_back({QLatin1Char('*') + QString::number(rate), 1});
    Rebuild();
    return Find(rate);
}

int FrameRateList::SelectRate(int rate) {
    Select(AddTemporary(rate));
    return selected_;
}

FrameRateList::Validation FrameRateList::Validate(const QString& text) {
    Validation result;
    if (text.isEmpty() || text == QLatin1String("*") || text == QLatin1String("0"))
        return result;
    const bool temporary = text.startsWith(QLatin1Char('*'));
    // A pasted text that is not a whole number goes the way of an out-of-range one.
    bool ok = false;
    const int value = (temporary ? text.mid(1) : text).toInt(&ok);
    if (!ok || value < 1 || value > kMaxFrameRate)
        return result;
    result.accepted = true;
    result.value = value;
    if (Find(value) < 0) {
        items_.push_back(
            {(temporary ? QLatin1Char('*') : QLatin1Char(' ')) + QString::number(value),
             temporary ? 1 : 0});
        Rebuild();
        result.added = true;
        result.addedTemporary = temporary;
    }
    selected_ = Find(value);
    editText_ = QString::number(value);
    return result;
}

FrameRateList::MenuState FrameRateList::ContextMenu() const {
    MenuState menu;
    bool ok = false;
    const int rate = editText_.toInt(&ok);
    if (!ok)
        return menu;
    menu.index = Find(rate);
    if (menu.index < 0)
        return menu;
    const bool stored = !IsTemporary(menu.index);
    menu.setAsDefaultEnabled = stored;
    menu.setAsDefaultChecked = stored && rate == defaultRate_;
    menu.removeEnabled = !stored || StoredCount() >= 2;
    return menu;
}

bool FrameRateList::SetAsDefault(int index) {
    if (index < 0 || index >= Count() || IsTemporary(index))
        return false;
    defaultRate_ = Value(index);
    return true;
}

FrameRateList::Removal FrameRateList::Remove(int index) {
    Removal result;
    if (index < 0 || index >= Count())
        return result;
    const bool temporary = IsTemporary(index);
    if (!temporary && StoredCount() < 2)
        return result; // the last stored rate stays
    const bool wasDefault = !temporary && Value(index) == defaultRate_;
    items_.erase(items_.begin() + index);
    Rebuild();
    if (wasDefault) {
        for (int i = 0; i < Count(); ++i) {
            if (!IsTemporary(i)) {
                defaultRate_ = Value(i);
                break;
            }
        }
    }
    Select(0);
    result.removed = true;
    result.temporary = temporary;
    return result;
}

std::vector<int> FrameRateList::StoredRates() const {
    std::vector<int> rates;
    for (int i = 0; i < Count(); ++i)
        if (!IsTemporary(i))
            rates.push_back(Value(i));
    return rates;
}

QString FrameRateList::StoredText() const {
    QString text;
    for (int rate : StoredRates())
        text += QString::number(rate) + QLatin1Char(';');
    return text;
}

QString FrameRateList::AllRatesText() const {
    QString text;
    for (int i = 0; i < Count(); ++i)
        text += QString::number(Value(i)) + QLatin1Char(';');
    return text;
}

int FrameRateList::StoredCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                          [](const Item& item) { return item.data == 0; }));
}

} // namespace kestrova
