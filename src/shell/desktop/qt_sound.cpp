#include "shell/desktop/qt_sound.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

#include "core/wave_file.h"

namespace quintavia {

QtSound::QtSound(Beep& fallback) : fallback_(fallback) {}

QtSound::~QtSound() {
    // A player going away may still report; the fallback must not hear it.
    if (effect_) QObject::disconnect(effect_.get(), nullptr, nullptr, nullptr);
}

void QtSound::play(const QString& path) {
    // Far beyond an alert sound: anything larger is no alert of ours.
    constexpr qint64 kMaxSoundBytes = 16 * 1024 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSoundBytes ||
        !IsWholeWave(file.read(kMaxSoundBytes))) {
        fallback_.beep();
        return;
    }
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
        QSoundEffect* effect = effect_.get();
        QObject::connect(effect, &QSoundEffect::statusChanged, effect, [this, effect] {
            if (effect->status() == QSoundEffect::Error) fallback_.beep();
        });
    }
    effect_->stop();
    // Clearing the source first makes the same file load again: it may have been mended or
    // broken since, and it starts again from its beginning.
    effect_->setSource(QUrl());
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->play();
}

bool QtSound::settled() const {
    if (!effect_) return true;
    const QSoundEffect::Status status = effect_->status();
    return status == QSoundEffect::Ready || status == QSoundEffect::Error;
}

}  // namespace quintavia
