"""config.ini as the program writes and reads it, and the texts it shows
about the file."""

TEMPLATE = (b'[Gemini]\r\n'
            b'gemini_key= YOUR_GEMINI_KEY\r\n'
            b'gemini_model=gemini-2.5-flash-lite\r\n')
CREATED_TEXT = ("Configuration file 'config.ini' has been created.\n\n"
                'Update your Gemini API key, save it, then restart the app.')
INVALID_KEY_TEXT = ('Gemini API key is not correct.\n\n'
                    'Update your Gemini API key, save it, then restart the app.')
# What the program runs with when the file can be neither read nor created.
FALLBACK_KEY = 'YOUR_GEMINI_KEY'
FALLBACK_MODEL = 'gemini-2.0-flash-lite'


def config(key, model=None):
    """A settings file with CR LF line ends: the section line, the key and
    (when given) the model."""
    text = '[Gemini]\r\ngemini_key=' + key + '\r\n'
    if model is not None:
        text += 'gemini_model=' + model + '\r\n'
    return text.encode('ascii')
