"""Work run on another Python thread while a test goes on."""
import threading


def in_background(work):
    """Starts `work` on a new thread; gives the thread and a dictionary that holds, once the
    thread has ended, the work's "result" or the "error" it raised."""
    outcome = {}

    def run():
        try:
            outcome["result"] = work()
        except BaseException as error:  # the test reports it
            outcome["error"] = error

    thread = threading.Thread(target=run)
    thread.start()
    return thread, outcome
