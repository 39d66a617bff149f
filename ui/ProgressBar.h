// A progress bar over the common control msctls_progress32, with a 0 to 100 range by default.
#pragma once
#include "ui/Control.h"

namespace bw::ui {

class ProgressBar : public Control {
public:
    int Value() const { return value_; }
    void SetValue(int value);
    void SetRange(int min, int max);

protected:
    const char* ClassName() const override;
    void ResetState() override { value_ = 0; }
    void AfterCreate() override;

private:
    int value_ = 0;
    int min_ = 0, max_ = 100;
};

}  // namespace bw::ui
