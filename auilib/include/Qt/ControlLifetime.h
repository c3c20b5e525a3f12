// The bookkeeping between a control, its implementation and its Qt widget,
// which may each outlive the others:
//  - the implementation watches the widget (a QPointer): a widget deleted
//    by Qt (its parent went) reads as null;
//  - the connections the implementation makes to the widget's signals are
//    recorded here and dropped together when the implementation goes, so no
//    handler runs on a freed implementation;
//  - the owning control is known to the implementation and, when the widget
//    was made here and its class derives from ControlOwnerSlot<Control>, to
//    the widget; both are
//    cleared when the control goes (ForgetOwner) or the implementation goes;
//  - a widget the implementation made is deleted with the implementation if
//    it was never placed (still has no parent); a placed widget belongs to
//    its parent. A wrapped widget (someone else's) is never deleted.
//
// Use in a control:
//     class FooQt : public QFoo, public ControlOwnerSlot<Foo> { Q_OBJECT ... };  // owner slot optional
//     class Foo::impl : public BaseImplQt {
//         ...
//         ControlLifetime<FooQt, Foo> widget_;   // declared last: it goes first
//     };
//     Foo::impl::impl(Foo& owner) : widget_(new FooQt, WidgetOwnership::Made, &owner)
//     { widget_.Connect(widget_.Get(), &QFoo::changed, [this] { ... }); }
//     Foo::~Foo() { impl_->Lifetime().ForgetOwner(); }   // when an owner was given
// Declared last, the helper is destroyed before the implementation's other
// members, so its connections are gone before the members their handlers use.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <utility>
#include <vector>

namespace AUILib {

class BaseGUIObject;

// A widget class that knows its control derives from this as well as from
// its Qt widget class.
template <typename Control>
class ControlOwnerSlot {
public:
    Control* GetOwner() const { return owner_; }
    void SetOwner(Control* owner) { owner_ = owner; }

private:
    Control* owner_ = nullptr;
};

enum class WidgetOwnership {
    Made,     // the implementation made the widget with no parent
    Wrapped,  // someone else's widget; only watched
};

template <typename Widget, typename Control = BaseGUIObject>
class ControlLifetime {
public:
    explicit ControlLifetime(Widget* widget, WidgetOwnership ownership = WidgetOwnership::Made,
                             Control* owner = nullptr)
        : widget_(widget), watch_(widget), made_(ownership == WidgetOwnership::Made), owner_(owner)
    {
        // A wrapped widget may name a control of its own; only a widget made
        // here is told its control.
        if (ControlOwnerSlot<Control>* slot = made_ ? Slot() : nullptr)
            slot->SetOwner(owner);
    }

    ~ControlLifetime()
    {
        DisconnectAll();
        ClearWidgetOwner();
        Widget* widget = Live();
        if (made_ && widget && !widget->parent())
            delete widget;
    }

    ControlLifetime(const ControlLifetime&) = delete;
    ControlLifetime& operator=(const ControlLifetime&) = delete;

    // The widget, or null once Qt deleted it.
    Widget* Get() const { return Live(); }
    Widget* data() const { return Live(); }
    Widget* operator->() const { return Live(); }
    operator Widget*() const { return Live(); }
    bool IsNull() const { return watch_.isNull(); }

    // The owning control, null once it went.
    Control* Owner() const { return owner_; }
    // Called by the control as it goes: the implementation and the widget
    // forget it (the widget only if it still names this control).
    void ForgetOwner()
    {
        ClearWidgetOwner();
        owner_ = nullptr;
    }

    // QObject::connect with the widget as the receiver's context (the
    // connection also ends with the widget), recorded for DisconnectAll.
    // Nothing is connected once the widget is gone.
    template <typename Sender, typename Signal, typename Functor>
    QMetaObject::Connection Connect(const Sender* sender, Signal signal, Functor&& functor,
                                    Qt::ConnectionType type = Qt::AutoConnection)
    {
        Widget* widget = Live();
        if (!widget || !sender)
            return QMetaObject::Connection();
        QMetaObject::Connection connection =
            QObject::connect(sender, signal, widget, std::forward<Functor>(functor), type);
        if (connection)
            connections_.push_back(connection);
        return connection;
    }

    // Drops every recorded connection; done by the destructor as well.
    void DisconnectAll()
    {
        for (const QMetaObject::Connection& connection : connections_)
            QObject::disconnect(connection);
        connections_.clear();
    }

private:
    ControlOwnerSlot<Control>* Slot() const
    {
        // A cross cast: a wrapped widget of the plain Qt class has no slot.
        return dynamic_cast<ControlOwnerSlot<Control>*>(watch_.data());
    }

    void ClearWidgetOwner()
    {
        ControlOwnerSlot<Control>* slot = Slot();
        if (slot && owner_ && slot->GetOwner() == owner_)
            slot->SetOwner(nullptr);
    }

    // The widget, read only while the watch says it lives. The watch is on
    // QObject, not on Widget: an event filter may ask for the widget while Qt
    // destroys it, past Widget's destructor, when a QPointer<Widget> would
    // downcast an object that is no longer a Widget.
    Widget* Live() const { return watch_.isNull() ? nullptr : widget_; }
    Widget* widget_;
    QPointer<QObject> watch_;
    const bool made_;
    Control* owner_;
    std::vector<QMetaObject::Connection> connections_;
};

} // namespace AUILib
