"""The steps the view and copy tests share: open a file in the viewer, dismissing the warnings
the rules predict, show one of its segments, close it."""

import harness
from fcsfile import open_file


class ViewerTestCase(harness.SessionTestCase):

    def open(self, name, data=None, options=()):
        """Opens a hand-made (data) or generated (options) file, dismissing the warnings the
        rules predict; returns the app and the model of what it must show."""
        if data is None:
            path = self.session.generate(name, *options)
            data = path.read_bytes()
        else:
            path = self.session.write(name, data)
        model = open_file(data)
        app = self.start(path)
        app.expect_boxes(model.warnings())
        app.wait_title(name + " - Ketterlin")
        return app, model

    def show(self, app, row, rows):
        app.select_segment(row)
        app.wait_rows(1, rows)

    def finish(self, app):
        app.close()
        self.assertExitsWith(app, 0)
