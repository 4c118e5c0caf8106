#pragma once
// Single-instance guard: limits how many copies of the program one logged-on
// user runs at the same time. Each running copy holds one place of a shared
// count named after the program file; a copy that finds every place taken
// reacts as configured and ends itself.

#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

enum TCloneControlAction {
    clcNone,    // do nothing
    clcMessage, // error message box "Only N instance(s) of application is allowed"
    clcCustom,  // fire OnAction
};

enum TTerminationStyle {
    tsAppTerminate, // end the application's message loop; windows close normally
    tsHalt,         // end the process at once with exit code 0
    tsCustom,       // fire OnTerminate
};

// Raised when a process creates a second guard.
class ECloneControlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace clone_detail {
class InstancePlace;
}

class TVodevuCloneControl : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxInstanceLimit = 65520;

    enum class Admission {
        NotChecked, // Loaded() has not run yet
        Admitted,   // this copy holds a place
        Refused,    // every place was taken
        Unguarded,  // the shared count could not be reached: the copy runs anyway
    };

    // Throws ECloneControlError "Only one instance of CloneControl allowed"
    // when the process already has a guard. Needs the application object:
    // the count is named after the program file.
    explicit TVodevuCloneControl(QObject* owner = nullptr);
    ~TVodevuCloneControl() override; // gives the place back

    TVodevuCloneControl(const TVodevuCloneControl&) = delete;
    TVodevuCloneControl& operator=(const TVodevuCloneControl&) = delete;

    TCloneControlAction Action() const { return action_; }
    void SetAction(TCloneControlAction action) { action_ = action; }
    TTerminationStyle TerminationStyle() const { return terminationStyle_; }
    void SetTerminationStyle(TTerminationStyle style) { terminationStyle_ = style; }
    int MaxInstance() const { return maxInstance_; }
    // Stored between 1 and 65520.
    void SetMaxInstance(int value);

    // Runs the admission check, once, after the properties are set. A refused
    // copy gets NotifyInstanceLimit and then TerminateInstance.
    void Loaded();

    Admission AdmissionState() const { return admission_; }
    // "Vodevu.CloneControl." followed by the program file's name.
    const QString& BlockName() const { return blockName_; }

    // The process's guard, or nullptr.
    static TVodevuCloneControl* Instance();

signals:
    void OnAction();
    void OnTerminate();

protected:
    // Tells the user that the limit was reached, as Action says.
    virtual void NotifyInstanceLimit();
    // Ends this copy, as TerminationStyle says.
    virtual void TerminateInstance();

private:
    static QObject* ClaimProcessGuard(QObject* owner);

    TCloneControlAction action_ = clcMessage;
    TTerminationStyle terminationStyle_ = tsAppTerminate;
    int maxInstance_ = 1;
    QString blockName_;
    Admission admission_ = Admission::NotChecked;
    std::unique_ptr<clone_detail::InstancePlace> place_;
};
